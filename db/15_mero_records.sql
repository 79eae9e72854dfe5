-- Records that must outlive the call, written in a transaction of their own.
--
-- A number that leaves the database (a flash serial number handed out, a
-- service code looked up) is recorded before the routine returns it. The
-- record cannot live in the station's transaction: the station may roll
-- back, lose its session or stop before it commits, while the phone carries
-- the number anyway; and a row written there would keep the station's
-- transaction open (idle, holding its locks) until its next COMMIT.
--
-- So the record is written on a second session of the same database through
-- dblink (installed by 00_roles.sql) and committed there before the routine
-- goes on: mero_link.own_transaction(statement) runs one statement in a
-- session of its own and gives back its one value. Each call opens a short
-- connection and closes it again: a record costs a connection set-up (a few
-- milliseconds, once per phone), and no second session stays open beside
-- each station; but while it runs, a station holds two sessions, which the
-- server's max_connections must allow for.
--
-- The link. The second session is opened only through the foreign server
-- mero_record_link and the user mapping of mero_owner on it: where it goes
-- (host, port, dbname) is in the server's options, as whom and with which
-- password in the mapping, and nothing a session can set decides either.
-- Only mero_owner may use the server, and only mero_owner (or a superuser)
-- reads the mapping's options. This file makes both for this database on
-- the server's port and default socket, as mero_owner without a password;
-- a line's set-up points them where its server listens and gives the
-- password:
--   ALTER SERVER mero_record_link OPTIONS (ADD host '/var/run/postgresql');
--   ALTER USER MAPPING FOR mero_owner SERVER mero_record_link
--       OPTIONS (ADD password '...');
-- dblink lets a role that is not a superuser connect only with a password
-- that the server asked for (pg_hba.conf: scram-sha-256 for mero_owner).
--
-- Time-outs. The link gives up connecting after 5 seconds (connect_timeout,
-- also for a server that accepts and never answers, and blocks the
-- station's backend meanwhile), the statement on it may run 5 seconds
-- (statement_timeout, kept by the far side), and its answer is awaited at
-- most 8 seconds from the start of the call (kept here, for a server that
-- started the session and then answers nothing); during that wait the
-- station's backend answers a cancel or a terminate. A failed record fails
-- the calling routine with "record link mero_record_link failed: " and the
-- reason the link gave ("timeout expired", "too many clients already",
-- "password authentication failed ...", "canceling statement due to
-- statement timeout", "the server gave no answer within 8 seconds", ...);
-- nothing is handed out unrecorded.
--
-- Rights. Every routine that runs with mero_owner's rights (SECURITY
-- DEFINER) pins its search_path and names everything with its schema, and
-- the link's session runs with search_path pg_catalog: no object a station
-- makes is ever called in its place. The recording routines take from the
-- caller nothing but what is recorded beside the number; what is handed
-- out (the code, the width of the number) comes from the database's own
-- tables. Neither they nor the link are executable by mero_station.

DO $$
BEGIN
    IF NOT EXISTS (SELECT FROM pg_catalog.pg_foreign_server WHERE srvname = 'mero_record_link') THEN
        EXECUTE pg_catalog.format(
            'CREATE SERVER mero_record_link FOREIGN DATA WRAPPER dblink_fdw OPTIONS ('
            'dbname %L, port %L, connect_timeout %L, application_name %L, options %L)',
            pg_catalog.current_database(), pg_catalog.current_setting('port'), '5', 'mero-record',
            '-c statement_timeout=5s -c search_path=pg_catalog');
    END IF;
END $$;
CREATE USER MAPPING IF NOT EXISTS FOR mero_owner SERVER mero_record_link OPTIONS (user 'mero_owner');

-- Runs one statement on the link and gives back its one value; any failure
-- of the link or of the statement becomes an error that names the link and
-- keeps the reason.
--
-- The statement is sent without waiting, and its answer awaited in short
-- sleeps up to 8 seconds after the call began: a server that takes the
-- connection and then answers nothing (stopped, or cut off) cannot hold the
-- station, whose backend meanwhile also answers a cancel or a terminate
-- (only the connect itself, at most 5 seconds, does not). The link's
-- connection is closed on every way out; one given up on may still commit
-- its record on the far side, which leaves a number recorded and never
-- handed out, never the other way round.
--
-- The statement's own time-out on the link's session comes back as a
-- cancel (query_canceled), which WHEN OTHERS does not catch: it is named
-- here too, and told from a cancel of the caller's own statement (its own
-- time-out, a cancel request), which stays what it is, by dblink's context
-- of the far side's error.
CREATE FUNCTION mero_link.own_transaction(p_statement text) RETURNS text
LANGUAGE plpgsql SET search_path = pg_catalog, pg_temp AS $$
DECLARE
    link constant text := 'mero_record';
    deadline constant timestamptz := pg_catalog.clock_timestamp() + interval '8 seconds';
    v text; msg text; detail text; state text; ctx text;
BEGIN
    IF link = ANY (mero_link.dblink_get_connections()) THEN
        PERFORM mero_link.dblink_disconnect(link);
    END IF;
    PERFORM mero_link.dblink_connect(link, 'mero_record_link');
    PERFORM mero_link.dblink_send_query(link, p_statement);
    WHILE mero_link.dblink_is_busy(link) = 1 AND mero_link.dblink_error_message(link) = 'OK' LOOP
        IF pg_catalog.clock_timestamp() > deadline THEN
            RAISE EXCEPTION 'the server gave no answer within 8 seconds';
        END IF;
        PERFORM pg_catalog.pg_sleep(0.001);
    END LOOP;
    SELECT t.value INTO v FROM mero_link.dblink_get_result(link) AS t(value text);
    PERFORM mero_link.dblink_disconnect(link);
    RETURN v;
EXCEPTION WHEN OTHERS OR query_canceled THEN
    GET STACKED DIAGNOSTICS msg = MESSAGE_TEXT, detail = PG_EXCEPTION_DETAIL,
                            state = RETURNED_SQLSTATE, ctx = PG_EXCEPTION_CONTEXT;
    IF link = ANY (mero_link.dblink_get_connections()) THEN
        PERFORM mero_link.dblink_disconnect(link);
    END IF;
    IF state = '57014' AND position('dblink connection' IN ctx) = 0 THEN
        RAISE;
    END IF;
    -- A connection that failed says why in the detail (libpq's message).
    RAISE EXCEPTION USING ERRCODE = 'sqlclient_unable_to_establish_sqlconnection',
        MESSAGE = 'record link mero_record_link failed: '
                  || rtrim(concat_ws(': ', msg, nullif(rtrim(detail, E'\n '), '')), E'\n ');
END $$;
