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
-- dblink (a contrib module that ships with the server package) and committed
-- there before the routine goes on: mero_link.own_transaction(statement)
-- runs one statement in a session of its own and gives back its one value.
-- The routines that record call it with the owner's rights.
-- Each call opens a short connection and closes it again: a record costs a
-- connection set-up (a few milliseconds, once per phone), and no second
-- session stays open beside each station.
--
-- The connection: the setting mero.record_link when it is set (for example
-- ALTER DATABASE ... SET mero.record_link = 'host=... dbname=... user=...
-- password=...'), otherwise this database on the server's own port and
-- first Unix socket directory, as the owner of the schema (the routine runs
-- with the owner's rights; dblink lets a superuser connect without a
-- password, an owner that is not one gives its password in mero.record_link).

CREATE SCHEMA mero_link;
CREATE EXTENSION IF NOT EXISTS dblink SCHEMA mero_link;

-- A value for a connection string, quoted.
CREATE FUNCTION mero_link.quoted(p_value text) RETURNS text LANGUAGE sql IMMUTABLE
    AS $$ SELECT '''' || replace(replace(p_value, '\', '\\'), '''', '\''') || '''' $$;

CREATE FUNCTION mero_link.conninfo() RETURNS text LANGUAGE sql STABLE AS $$
    SELECT coalesce(nullif(current_setting('mero.record_link', true), ''),
                    concat_ws(' ',
                              'dbname=' || mero_link.quoted(current_database()),
                              'user=' || mero_link.quoted(current_user),
                              'port=' || current_setting('port'),
                              'host=' || mero_link.quoted(nullif(trim(split_part(
                                  current_setting('unix_socket_directories'), ',', 1)), '')),
                              'application_name=mero-record'))
$$;

-- Only the recording routines call it; they run with the owner's rights
-- (SECURITY DEFINER) and build the statement from their typed arguments.
CREATE FUNCTION mero_link.own_transaction(p_statement text) RETURNS text LANGUAGE sql AS $$
    SELECT t.value FROM mero_link.dblink(mero_link.conninfo(), p_statement) AS t(value text)
$$;
REVOKE ALL ON FUNCTION mero_link.own_transaction(text) FROM PUBLIC;
