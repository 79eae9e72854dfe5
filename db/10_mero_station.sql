-- Station registration, session tracing and the message table.

CREATE SCHEMA mero;
CREATE SCHEMA mero_simcode;
GRANT USAGE ON SCHEMA mero, mero_simcode TO mero_station;

-- Known stations by MAC id; `result` is what the registration answers
-- (0 = accepted, another value = refused with that code).
CREATE TABLE mero.station (
    macadr varchar(21) PRIMARY KEY,
    result int NOT NULL DEFAULT 0
);
GRANT SELECT ON mero.station TO mero_station;

-- Every registration attempt, as the station sent it.
CREATE TABLE mero.station_login (
    id       bigserial PRIMARY KEY,
    pid      int,
    username text,
    password text,
    pcname   text,
    macadr   text,
    ipadr    text,
    result   int
);
GRANT INSERT ON mero.station_login TO mero_station;
GRANT USAGE ON SEQUENCE mero.station_login_id_seq TO mero_station;

-- Message texts by language and number (number = 200000 - result code).
CREATE TABLE mero.bas_meltex_row (
    sprach_nr varchar(3) NOT NULL,
    nr        int NOT NULL,
    text      varchar(255),
    PRIMARY KEY (sprach_nr, nr)
);
-- Read through a view, which the test run's fault hooks can wrap.
CREATE VIEW mero.bas_meltex AS
    SELECT sprach_nr, nr, text FROM mero.bas_meltex_row;
GRANT SELECT ON mero.bas_meltex TO mero_station;

INSERT INTO mero.bas_meltex_row VALUES
    ('006', 200002, 'Station unknown'),
    ('006', 200003, 'Station is locked'),
    ('006', 200005, 'Station not released for this line'),
    ('006', 200007, ''),
    ('006', 200008, NULL),
    ('001', 200009, 'Only in another language');

CREATE FUNCTION mero_simcode.localc_connect(
    i_pid int, v_username text, v_password text, v_pcname text, v_macadr text, v_ipadr text)
RETURNS int LANGUAGE plpgsql AS $$
DECLARE r int;
BEGIN
    SELECT s.result INTO r FROM mero.station s WHERE s.macadr = v_macadr;
    IF NOT FOUND THEN
        r := -2;  -- unknown MAC address
    END IF;
    INSERT INTO mero.station_login (pid, username, password, pcname, macadr, ipadr, result)
        VALUES (i_pid, v_username, v_password, v_pcname, v_macadr, v_ipadr, r);
    RETURN r;
END $$;
GRANT EXECUTE ON FUNCTION mero_simcode.localc_connect(int, text, text, text, text, text) TO mero_station;

-- The tracing switch is state of the session (the setting mero.trace), not
-- a row: switching it changes nothing in the database and leaves no
-- transaction open behind the connect.
CREATE FUNCTION mero_simcode.settracingon(si_trace smallint) RETURNS void LANGUAGE plpgsql AS $$
BEGIN
    PERFORM set_config('mero.trace', coalesce(si_trace::text, ''), false);
END $$;
GRANT EXECUTE ON FUNCTION mero_simcode.settracingon(smallint) TO mero_station;
