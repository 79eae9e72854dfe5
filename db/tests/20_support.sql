-- Helpers of the test cases: empty the tables a test fills and reads, put
-- the reference schema's default rows back, and show session state and
-- locks that a case checks.

-- The tracing switch the session sent (NULL: none).
CREATE FUNCTION mero_test.tracing() RETURNS int LANGUAGE sql STABLE
    AS $$ SELECT nullif(current_setting('mero.trace', true), '')::int $$;

CREATE FUNCTION mero_test.clear_data() RETURNS void LANGUAGE plpgsql AS $$
BEGIN
    DELETE FROM mero.coder;
    INSERT INTO mero.coder (coder) VALUES ('ECHO');
    DELETE FROM mero.coder_call;
    DELETE FROM mero.report;
    DELETE FROM mero.report_answer;
    DELETE FROM mero.service_code;
    DELETE FROM mero.service_call;
    DELETE FROM mero.boot_pin;
    DELETE FROM mero.flash_serial;
    DELETE FROM mero.flash_serial_control;
    INSERT INTO mero.flash_serial_control (width) VALUES (16);
    DELETE FROM mero.add_data;
    DELETE FROM mero.add_data_refusal;
    DELETE FROM mero.fbg_call;
    DELETE FROM mero.fbg_answer;
END $$;

-- Puts the SIM-data coder back after clear_data.
CREATE FUNCTION mero_test.add_simdata_coder() RETURNS void LANGUAGE sql AS $$
    INSERT INTO mero.coder (coder, result, output, outsize)
        VALUES ('SIMDATA', 0, mero.simdata_answer(), NULL)
    ON CONFLICT (coder) DO UPDATE
        SET result = EXCLUDED.result, output = EXCLUDED.output, outsize = EXCLUDED.outsize;
$$;

-- The file store's locks that sessions hold or wait for: 'version' (a
-- reader's pin, or a removal) and 'store' (an upload or a removal in
-- progress), in this database only (advisory locks are the server's, and
-- other databases of the server hold the same kinds).
CREATE VIEW mero_test.file_lock AS
    SELECT l.pid,
           CASE l.classid WHEN mero_imeifiles.version_lock_class()::oid THEN 'version' ELSE 'store' END AS kind,
           l.objid::bigint AS key, l.mode, l.granted
      FROM pg_locks l
     WHERE l.locktype = 'advisory' AND l.objsubid = 2
       AND l.database = (SELECT oid FROM pg_database WHERE datname = current_database())
       AND l.classid IN (mero_imeifiles.version_lock_class()::oid, mero_imeifiles.store_lock_class()::oid);

CREATE FUNCTION mero_test.clear_files() RETURNS void LANGUAGE plpgsql AS $$
BEGIN
    DELETE FROM mero.imei_file_part;
    DELETE FROM mero.imei_file_head;
    DELETE FROM mero.imei_file_superseded;
    DELETE FROM mero_test.received;  -- only the file store logs arguments
    DELETE FROM mero.imei_file_control;
    INSERT INTO mero.imei_file_control DEFAULT VALUES;
END $$;
