-- The data routines of the production database: coder data, the report
-- import, service codes, boot PINs, flash serial numbers, add data and the
-- two line-logistics routines.
--
-- Each routine records what it received in a table a test can read and
-- answers from a table a test can fill.

CREATE SCHEMA mero_dorlep_dbc;
CREATE SCHEMA mero_bootpin;
CREATE SCHEMA mero_orgtovikadddata;
CREATE SCHEMA mero_pumline;
CREATE SCHEMA mero_logistics;
GRANT USAGE ON SCHEMA mero_dorlep_dbc, mero_bootpin, mero_orgtovikadddata, mero_pumline, mero_logistics
    TO mero_station;

-- ---- coder data --------------------------------------------------------

-- Answers per coder: `output` NULL echoes the input; `outsize` NULL is the
-- length of the output.
CREATE TABLE mero.coder (
    coder   text PRIMARY KEY,
    result  int NOT NULL DEFAULT 0,
    output  bytea,
    outsize int
);
GRANT SELECT ON mero.coder TO mero_station;

-- Every getData call as it arrived (output_in: the bytes bound as output).
CREATE TABLE mero.coder_call (
    id         bigserial PRIMARY KEY,
    coder      text,
    input      bytea,
    insize     int,
    output_in  bytea,
    outsize_in int
);
GRANT INSERT ON mero.coder_call TO mero_station;
GRANT USAGE ON SEQUENCE mero.coder_call_id_seq TO mero_station;

CREATE FUNCTION mero_simcode.getdata(
    v_coder text, v_inputdata bytea, i_inputsize int,
    v_outputdata INOUT bytea, i_outputsize INOUT int, result OUT int)
LANGUAGE plpgsql AS $$
DECLARE c mero.coder%ROWTYPE;
BEGIN
    INSERT INTO mero.coder_call (coder, input, insize, output_in, outsize_in)
        VALUES (v_coder, v_inputdata, i_inputsize, v_outputdata, i_outputsize);
    SELECT * INTO c FROM mero.coder WHERE coder = v_coder;
    IF NOT FOUND THEN
        result := -1;
        v_outputdata := convert_to('unknown coder ' || coalesce(v_coder, '<null>'), 'SQL_ASCII');
        RETURN;
    END IF;
    result := c.result;
    v_outputdata := coalesce(c.output, substring(v_inputdata FROM 1 FOR greatest(i_inputsize, 0)));
    i_outputsize := coalesce(c.outsize, length(v_outputdata), 0);
END $$;
GRANT EXECUTE ON FUNCTION mero_simcode.getdata(text, bytea, int, bytea, int) TO mero_station;

-- ---- test report ---------------------------------------------------------

CREATE TABLE mero.report (
    id           bigserial PRIMARY KEY,
    imei_nr      text,
    pruefstatus  int,
    linie_staort text,
    linie_typ    text,
    linie_nr     int,
    pruef_datum  timestamp(0),
    sach_nr      text,
    sw_rel       text,
    comp_datum   timestamp(0),
    simcard_nr   text,
    flash_nr     text,
    zpos         int,
    pcmacid      text,
    stdmapver    int,
    provider     int,
    deltamapver  int,
    simlock      int,
    bitmap       int,
    sound        int
);
GRANT INSERT ON mero.report TO mero_station;
GRANT USAGE ON SEQUENCE mero.report_id_seq TO mero_station;

-- The import's answer per IMEI (default 0, stored).
CREATE TABLE mero.report_answer (imei_nr text PRIMARY KEY, result int NOT NULL);
GRANT SELECT ON mero.report_answer TO mero_station;

CREATE FUNCTION mero_dorlep_dbc.kt_imp_dorlep(
    v_imei_nr text, i_pruefstatus int, v_linie_staort text, v_linie_typ text, i_linie_nr int,
    d_pruef_datum timestamp, v_sach_nr text, v_sw_rel text, d_comp_datum timestamp,
    v_simcard_nr text, v_flash_nr text, i_zpos int, v_pcmacid text, i_stdmapver int,
    i_provider int, i_deltamapver int, i_simlock int, i_bitmap int, i_sound int)
RETURNS int LANGUAGE plpgsql AS $$
DECLARE r int;
BEGIN
    SELECT a.result INTO r FROM mero.report_answer a WHERE a.imei_nr = v_imei_nr;
    IF NOT FOUND THEN
        r := 0;
    END IF;
    IF r = 0 THEN
        INSERT INTO mero.report (imei_nr, pruefstatus, linie_staort, linie_typ, linie_nr, pruef_datum,
                                 sach_nr, sw_rel, comp_datum, simcard_nr, flash_nr, zpos, pcmacid,
                                 stdmapver, provider, deltamapver, simlock, bitmap, sound)
            VALUES (v_imei_nr, i_pruefstatus, v_linie_staort, v_linie_typ, i_linie_nr, d_pruef_datum,
                    v_sach_nr, v_sw_rel, d_comp_datum, v_simcard_nr, v_flash_nr, i_zpos, v_pcmacid,
                    i_stdmapver, i_provider, i_deltamapver, i_simlock, i_bitmap, i_sound);
    END IF;
    RETURN r;
END $$;
GRANT EXECUTE ON FUNCTION mero_dorlep_dbc.kt_imp_dorlep(
    text, int, text, text, int, timestamp, text, text, timestamp, text, text, int, text, int, int, int, int, int, int)
    TO mero_station;

-- ---- service codes ---------------------------------------------------------

-- The code text per IMEI; no row (or NULL, or '') means no code. Stations
-- read it only through zi_service, which records every look-up.
CREATE TABLE mero.service_code (imei text PRIMARY KEY, code text);
-- Every look-up and the code it gave, committed in a transaction of its own
-- before zi_service returns (see 15_mero_records.sql). Written only on the
-- record link.
CREATE TABLE mero.service_call (
    id     bigserial PRIMARY KEY,
    imei   text,
    macadr text,
    ipadr  text,
    code   text
);

-- Looks up the code of an IMEI, records the look-up with the code and
-- gives the code back (inner: only zi_service calls it).
CREATE FUNCTION mero.record_service_call(p_imei text, p_macadr text, p_ipadr text) RETURNS text
LANGUAGE plpgsql SET search_path = pg_catalog, pg_temp AS $$
DECLARE c text;
BEGIN
    SELECT s.code INTO c FROM mero.service_code s WHERE s.imei = p_imei;
    PERFORM mero_link.own_transaction(pg_catalog.format(
        'INSERT INTO mero.service_call (imei, macadr, ipadr, code) VALUES (%L, %L, %L, %L) RETURNING NULL::text',
        p_imei, p_macadr, p_ipadr, c));
    RETURN c;
END $$;

CREATE FUNCTION mero.zi_service(v_imei_nr text, v_macadr text, v_ipadr text)
RETURNS text LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
BEGIN
    RETURN mero.record_service_call(v_imei_nr, v_macadr, v_ipadr);
END $$;
GRANT EXECUTE ON FUNCTION mero.zi_service(text, text, text) TO mero_station;

-- ---- boot PIN --------------------------------------------------------------

-- Per IMEI: the PIN bytes, the length reported (NULL: the length of pin)
-- and the result. No row: result 100 and a text in the PIN.
CREATE TABLE mero.boot_pin (
    imei   text PRIMARY KEY,
    pin    bytea,
    len    int,
    result int NOT NULL DEFAULT 0
);
GRANT SELECT ON mero.boot_pin TO mero_station;

CREATE FUNCTION mero_bootpin.getbootpin(
    v_imei text, r_bootpin OUT bytea, n_len OUT int, result OUT int)
LANGUAGE plpgsql AS $$
DECLARE b mero.boot_pin%ROWTYPE;
BEGIN
    SELECT * INTO b FROM mero.boot_pin WHERE imei = v_imei;
    IF NOT FOUND THEN
        r_bootpin := convert_to('no boot PIN for IMEI ' || coalesce(v_imei, '<null>'), 'SQL_ASCII');
        n_len := length(r_bootpin);
        result := 100;
        RETURN;
    END IF;
    r_bootpin := b.pin;
    n_len := coalesce(b.len, length(b.pin), 0);
    result := b.result;
END $$;
GRANT EXECUTE ON FUNCTION mero_bootpin.getbootpin(text) TO mero_station;

-- ---- flash serial numbers ----------------------------------------------------

-- Numbers handed out: "FSN" and 13 digits of a sequence, 16 bytes, cut or
-- padded with '0' to `width`. The number is drawn and its hand-out recorded
-- in a transaction of its own, committed before the routine returns (see
-- 15_mero_records.sql): the record stays whatever becomes of the station's
-- session, and the station's transaction is left as it was. Stations reach
-- the numbers and their table only through getflashserialnumber.
CREATE SEQUENCE mero.flash_serial_seq;
CREATE TABLE mero.flash_serial (
    id     bigserial PRIMARY KEY,
    value  bytea NOT NULL,
    len_in int
);
-- One row: the width of the numbers and the length reported (NULL: width).
CREATE TABLE mero.flash_serial_control (
    one          boolean PRIMARY KEY DEFAULT true CHECK (one),
    width        int NOT NULL,
    reported_len int
);

-- Draws and records one number of the set width, with the length the
-- station asked for (run on the recording session).
CREATE FUNCTION mero.flash_serial_draw(p_len_in int) RETURNS bytea
LANGUAGE sql SET search_path = pg_catalog, pg_temp AS $$
    INSERT INTO mero.flash_serial (value, len_in)
        SELECT pg_catalog.convert_to(pg_catalog.rpad(
                   'FSN' || pg_catalog.lpad(pg_catalog.nextval('mero.flash_serial_seq')::text, 13, '0'),
                   c.width, '0'), 'SQL_ASCII'),
               p_len_in
          FROM mero.flash_serial_control c
        RETURNING value;
$$;

-- Draws a number on the record link (inner: only getflashserialnumber
-- calls it).
CREATE FUNCTION mero.flash_serial_hand_out(p_len_in int) RETURNS bytea
LANGUAGE sql SET search_path = pg_catalog, pg_temp AS $$
    SELECT mero_link.own_transaction(pg_catalog.format('SELECT mero.flash_serial_draw(%s)',
                                                       coalesce(p_len_in::text, 'NULL')))::bytea;
$$;

CREATE FUNCTION mero.getflashserialnumber(n_len INOUT int, result OUT bytea)
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
DECLARE c mero.flash_serial_control%ROWTYPE;
BEGIN
    SELECT * INTO c FROM mero.flash_serial_control;
    result := mero.flash_serial_hand_out(n_len);
    n_len := coalesce(c.reported_len, length(result));
END $$;
GRANT EXECUTE ON FUNCTION mero.getflashserialnumber(int) TO mero_station;

-- ---- add data ------------------------------------------------------------------

CREATE TABLE mero.add_data (
    id            bigserial PRIMARY KEY,
    imei          text,
    nounlockcode  text,
    spunlockcode  text,
    simunlockcode text,
    cpunlockcode  text,
    nsunlockcode  text,
    mpunlockcode  text,
    bluetoothid   text,
    flashid       text,
    simcardid     text,
    var1          text,
    var2          text,
    var3          text,
    var4          text,
    var5          text
);
GRANT INSERT ON mero.add_data TO mero_station;
GRANT USAGE ON SEQUENCE mero.add_data_id_seq TO mero_station;
-- Refusals per IMEI: the result and the message given back.
CREATE TABLE mero.add_data_refusal (imei text PRIMARY KEY, result int NOT NULL, errmsg text);
GRANT SELECT ON mero.add_data_refusal TO mero_station;

CREATE FUNCTION mero_orgtovikadddata.putdata(
    i_imei text, i_nounlockcode text, i_spunlockcode text, i_simunlockcode text,
    i_cpunlockcode text, i_nsunlockcode text, i_mpunlockcode text, i_bluetoothid text,
    i_flashid text, i_simcardid text, i_var1 text, i_var2 text, i_var3 text, i_var4 text,
    i_var5 text, o_errmsg OUT text, result OUT int)
LANGUAGE plpgsql AS $$
DECLARE f mero.add_data_refusal%ROWTYPE;
BEGIN
    SELECT * INTO f FROM mero.add_data_refusal WHERE imei = i_imei;
    IF FOUND THEN
        result := f.result;
        o_errmsg := f.errmsg;
        RETURN;
    END IF;
    INSERT INTO mero.add_data (imei, nounlockcode, spunlockcode, simunlockcode, cpunlockcode,
                               nsunlockcode, mpunlockcode, bluetoothid, flashid, simcardid,
                               var1, var2, var3, var4, var5)
        VALUES (i_imei, i_nounlockcode, i_spunlockcode, i_simunlockcode, i_cpunlockcode,
                i_nsunlockcode, i_mpunlockcode, i_bluetoothid, i_flashid, i_simcardid,
                i_var1, i_var2, i_var3, i_var4, i_var5);
    result := 0;
END $$;
GRANT EXECUTE ON FUNCTION mero_orgtovikadddata.putdata(
    text, text, text, text, text, text, text, text, text, text, text, text, text, text, text) TO mero_station;

-- ---- line logistics ------------------------------------------------------------

-- Both routines record their call; the answer comes per laser id (default 0).
CREATE TABLE mero.fbg_call (
    id       bigserial PRIMARY KEY,
    routine  text,
    macadr   text,
    laserid  text,
    fbgid    text,
    value    text
);
CREATE TABLE mero.fbg_answer (laserid text PRIMARY KEY, result int NOT NULL);
GRANT INSERT ON mero.fbg_call TO mero_station;
GRANT USAGE ON SEQUENCE mero.fbg_call_id_seq TO mero_station;
GRANT SELECT ON mero.fbg_answer TO mero_station;

CREATE FUNCTION mero.fbg_record(p_routine text, p_mac text, p_laser text, p_fbg text, p_value text)
RETURNS int LANGUAGE plpgsql AS $$
DECLARE r int;
BEGIN
    INSERT INTO mero.fbg_call (routine, macadr, laserid, fbgid, value)
        VALUES (p_routine, p_mac, p_laser, p_fbg, p_value);
    SELECT a.result INTO r FROM mero.fbg_answer a WHERE a.laserid = p_laser;
    RETURN coalesce(r, 0);
END $$;
GRANT EXECUTE ON FUNCTION mero.fbg_record(text, text, text, text, text) TO mero_station;

CREATE FUNCTION mero_pumline.fbgsetimei(
    bvchmacadr text, bvchlaserid text, bvchfbgid text, bvchimei text)
RETURNS int LANGUAGE plpgsql AS $$
BEGIN
    RETURN mero.fbg_record('fbgsetimei', bvchmacadr, bvchlaserid, bvchfbgid, bvchimei);
END $$;
GRANT EXECUTE ON FUNCTION mero_pumline.fbgsetimei(text, text, text, text) TO mero_station;

CREATE FUNCTION mero_logistics.fbgsetstatus(
    bvchmacadr text, bvchlaserid text, bvchfbgid text, bvchresult text)
RETURNS int LANGUAGE plpgsql AS $$
BEGIN
    RETURN mero.fbg_record('fbgsetstatus', bvchmacadr, bvchlaserid, bvchfbgid, bvchresult);
END $$;
GRANT EXECUTE ON FUNCTION mero_logistics.fbgsetstatus(text, text, text, text) TO mero_station;

-- ---- defaults ------------------------------------------------------------------

INSERT INTO mero.coder (coder) VALUES ('ECHO');
INSERT INTO mero.flash_serial_control (width) VALUES (16);
