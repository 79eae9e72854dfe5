SET client_min_messages = warning;
-- Routines and tables for the SQL layer's own tests (loaded by the tests).
CREATE SCHEMA IF NOT EXISTS sqltest;
CREATE SCHEMA IF NOT EXISTS sqltest_pkg;

CREATE TABLE IF NOT EXISTS sqltest.note (id serial PRIMARY KEY, txt text, stamp timestamp);
CREATE TABLE IF NOT EXISTS sqltest.kv (k text, v text);
DELETE FROM sqltest.kv;
INSERT INTO sqltest.kv VALUES ('one', '1'), ('empty', ''), ('nul', NULL), ('dup', 'a'), ('dup', 'b'),
    ('long', repeat('x', 40));

-- IN, IN OUT and OUT parameters side by side.
CREATE OR REPLACE FUNCTION sqltest_pkg.swap(a_in text, b_io INOUT text, c_out OUT int, result OUT int)
LANGUAGE plpgsql AS $$
BEGIN
    c_out := coalesce(length(a_in), -1);
    b_io := upper(b_io);
    result := 1;
END $$;

-- Bytes in and out: doubles the data.
CREATE OR REPLACE FUNCTION sqltest_pkg.twice(r_data INOUT bytea, n_len INOUT int, result OUT int)
LANGUAGE plpgsql AS $$
BEGIN
    IF r_data IS NULL THEN
        n_len := 0;
        result := -1;
        RETURN;
    END IF;
    r_data := r_data || r_data;
    n_len := length(r_data);
    result := 0;
END $$;

CREATE OR REPLACE FUNCTION sqltest.is_null(v text) RETURNS int LANGUAGE sql AS
    $$ SELECT CASE WHEN v IS NULL THEN 1 ELSE 0 END $$;

-- '' for 0, else n times 'x'.
CREATE OR REPLACE FUNCTION sqltest.text_of(n int) RETURNS text LANGUAGE sql AS
    $$ SELECT repeat('x', n) $$;

CREATE OR REPLACE FUNCTION sqltest.note_add(txt text, stamp timestamp) RETURNS int LANGUAGE sql AS
    $$ INSERT INTO sqltest.note (txt, stamp) VALUES (txt, stamp) RETURNING id $$;

CREATE OR REPLACE FUNCTION sqltest.raise_ora(code int) RETURNS int LANGUAGE plpgsql AS $$
BEGIN
    RAISE EXCEPTION 'ORA-%: raised on request', lpad(code::text, 5, '0');
END $$;

CREATE OR REPLACE FUNCTION sqltest.divide(a int) RETURNS int LANGUAGE sql AS $$ SELECT 100 / a $$;

CREATE OR REPLACE FUNCTION sqltest_pkg.named(i_a text, i_b text, o_msg OUT text, result OUT int)
LANGUAGE plpgsql AS $$
BEGIN
    o_msg := coalesce(i_a, '<null>') || '/' || coalesce(i_b, '<null>');
    result := 0;
END $$;

CREATE OR REPLACE FUNCTION sqltest.trace(si smallint) RETURNS void LANGUAGE sql AS
    $$ INSERT INTO sqltest.note (txt) VALUES ('trace ' || si) $$;

-- n bytes 0, 1, 2, ... 255, 0, ... as one chunk.
CREATE OR REPLACE FUNCTION sqltest_pkg.fill(n_length INOUT int, r_data OUT bytea, result OUT int)
LANGUAGE sql AS $$
    SELECT n_length, coalesce(string_agg(set_byte('\x00'::bytea, 0, i % 256), ''::bytea ORDER BY i), ''::bytea), 0
      FROM generate_series(0, n_length - 1) AS i
$$;

-- Bytes beside numbers and a text, for results read in binary format.
CREATE OR REPLACE FUNCTION sqltest_pkg.mixed(d OUT bytea, b OUT bigint, n OUT numeric, m OUT numeric,
                                             f OUT numeric, t OUT text, result OUT int)
LANGUAGE sql AS $$
    SELECT '\x5c7800ff'::bytea, 2147483647::bigint, 123456789::numeric, -42.000::numeric, 2.5::numeric,
           'abc'::text, 3
$$;

-- A number given as text, as a numeric result: alone (read in text format)
-- and beside bytes (read in binary format).
CREATE OR REPLACE FUNCTION sqltest.as_number(v text) RETURNS numeric LANGUAGE sql AS $$ SELECT v::numeric $$;
CREATE OR REPLACE FUNCTION sqltest_pkg.as_number(v text, d OUT bytea, n OUT numeric, result OUT int)
LANGUAGE sql AS $$ SELECT '\x00'::bytea, v::numeric, 0 $$;

-- A note only when asked for: the same statement text changes something or
-- not, by its argument.
CREATE OR REPLACE FUNCTION sqltest.note_if(wanted int) RETURNS int LANGUAGE plpgsql AS $$
BEGIN
    IF wanted = 1 THEN
        INSERT INTO sqltest.note (txt) VALUES ('wanted');
    END IF;
    RETURN wanted;
END $$;

-- The statements prepared on the calling session whose text matches a
-- pattern, and how often they ran.
CREATE OR REPLACE FUNCTION sqltest.prepared(pattern text, runs OUT int, result OUT int) LANGUAGE sql AS
    $$ SELECT coalesce(sum(generic_plans + custom_plans), 0)::int, count(*)::int
         FROM pg_catalog.pg_prepared_statements WHERE statement LIKE pattern $$;

-- Fails as the server does when it ends a session (a code of the 57P class),
-- on a session that stays up.
CREATE OR REPLACE FUNCTION sqltest.session_ending() RETURNS int LANGUAGE plpgsql AS $$
BEGIN
    RAISE EXCEPTION USING ERRCODE = '57P01', MESSAGE = 'terminating connection due to administrator command';
END $$;

-- Counts its runs, then fails with the SQLSTATE of an unsupported feature,
-- the class the server also gives a prepared query whose routine changed
-- its result columns.
CREATE SEQUENCE IF NOT EXISTS sqltest.unsupported_runs;
CREATE OR REPLACE FUNCTION sqltest.unsupported() RETURNS int LANGUAGE plpgsql AS $$
BEGIN
    PERFORM nextval('sqltest.unsupported_runs');
    RAISE EXCEPTION USING ERRCODE = '0A000', MESSAGE = 'not supported here';
END $$;

-- Declared STABLE: the number of notes, and a division that fails for 0.
CREATE OR REPLACE FUNCTION sqltest.note_count() RETURNS int LANGUAGE sql STABLE AS
    $$ SELECT count(*)::int FROM sqltest.note $$;
CREATE OR REPLACE FUNCTION sqltest.divide_stable(a int) RETURNS int LANGUAGE sql STABLE AS $$ SELECT 100 / a $$;
-- Declared STABLE, yet it adds a note through a routine that may change
-- the database.
CREATE OR REPLACE FUNCTION sqltest.note_through() RETURNS int LANGUAGE sql STABLE AS
    $$ SELECT sqltest.note_add('through', NULL) $$;

-- The sessions under test log in as the station login.
GRANT USAGE ON SCHEMA sqltest, sqltest_pkg TO mero_station;
GRANT SELECT, INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA sqltest TO mero_station;
GRANT USAGE ON ALL SEQUENCES IN SCHEMA sqltest TO mero_station;
