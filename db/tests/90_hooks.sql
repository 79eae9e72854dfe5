-- Puts the fault hook into the routines of the reference schema that
-- stations call, after the schema is loaded: each definition is taken from
-- the catalog as it stands and made again with one call in front of its
-- body, so no routine is written twice and the schema itself carries no
-- test code.
--
--   PL/pgSQL function   PERFORM mero_test.enter(...); right after its BEGIN
--   SQL function, view  its query wrapped in one filtered by mero_test.enter
--                       (a SQL function stays one query, which the planner
--                       can still take into the caller's statement)
--
-- A PL/pgSQL routine listed with an argument also logs that argument
-- (mero_test.log) after the hook.

CREATE TABLE mero_test.hooked (
    schema   text NOT NULL,
    name     text PRIMARY KEY,   -- the routine's name for inject and calls
    argument text                -- the argument logged, or NULL
);
INSERT INTO mero_test.hooked VALUES
    ('mero',                 'bas_meltex',           NULL),
    ('mero_simcode',         'localc_connect',       NULL),
    ('mero_simcode',         'settracingon',         NULL),
    ('mero_simcode',         'getdata',              NULL),
    ('mero_dorlep_dbc',      'kt_imp_dorlep',        NULL),
    ('mero',                 'zi_service',           NULL),
    ('mero_bootpin',         'getbootpin',           NULL),
    ('mero',                 'getflashserialnumber', NULL),
    ('mero_orgtovikadddata', 'putdata',              NULL),
    ('mero_pumline',         'fbgsetimei',           NULL),
    ('mero_logistics',       'fbgsetstatus',         NULL),
    ('mero_imeifiles',       'newfile',              NULL),
    ('mero_imeifiles',       'writeappend',          'n_length'),
    ('mero_imeifiles',       'closefile',            NULL),
    ('mero_imeifiles',       'openfile',             NULL),
    ('mero_imeifiles',       'read',                 NULL),
    ('mero_imeifiles',       'deletefile',           NULL),
    ('mero',                 'getior',               NULL);

CREATE FUNCTION mero_test.hooked_query(p_query text, p_routine text) RETURNS text LANGUAGE sql IMMUTABLE AS $$
    SELECT format('SELECT hooked.* FROM (%s) hooked WHERE mero_test.enter(%L)', rtrim(p_query, E'; \n'), p_routine)
$$;

DO $$
DECLARE h mero_test.hooked; f record; v regclass; body text; n int;
BEGIN
    FOR h IN SELECT * FROM mero_test.hooked LOOP
        PERFORM mero_test.add_routine(h.name);
        v := to_regclass(format('%I.%I', h.schema, h.name));
        IF v IS NOT NULL THEN
            EXECUTE format('CREATE OR REPLACE VIEW %s AS %s', v, mero_test.hooked_query(pg_get_viewdef(v), h.name));
            CONTINUE;
        END IF;
        n := 0;
        FOR f IN SELECT p.oid, p.prosrc, l.lanname FROM pg_proc p
                   JOIN pg_namespace s ON s.oid = p.pronamespace JOIN pg_language l ON l.oid = p.prolang
                  WHERE s.nspname = h.schema AND p.proname = h.name LOOP
            n := n + 1;
            IF f.lanname = 'plpgsql' THEN
                body := regexp_replace(f.prosrc, '\mBEGIN\M',
                                       format('BEGIN PERFORM mero_test.enter(%L);', h.name) ||
                                       CASE WHEN h.argument IS NOT NULL THEN format(
                                           ' PERFORM mero_test.log(%L, %I::text);', h.name, h.argument) ELSE '' END,
                                       'i');
                IF body = f.prosrc THEN
                    RAISE EXCEPTION 'no BEGIN in %.% to hook', h.schema, h.name;
                END IF;
            ELSIF f.lanname = 'sql' AND h.argument IS NULL THEN
                body := mero_test.hooked_query(f.prosrc, h.name);
            ELSE
                RAISE EXCEPTION 'cannot hook %.%, written in %', h.schema, h.name, f.lanname;
            END IF;
            EXECUTE replace(pg_get_functiondef(f.oid), f.prosrc, body);
        END LOOP;
        IF n = 0 THEN
            RAISE EXCEPTION 'no routine %.% to hook', h.schema, h.name;
        END IF;
    END LOOP;
END $$;

-- The hooks run with the rights of whoever calls the routine.
GRANT USAGE ON SCHEMA mero_test TO PUBLIC;
GRANT SELECT ON ALL TABLES IN SCHEMA mero_test TO PUBLIC;
GRANT INSERT ON mero_test.received TO PUBLIC;
GRANT USAGE ON ALL SEQUENCES IN SCHEMA mero_test TO PUBLIC;
-- The schema's owner makes no routine executable by PUBLIC by default; the
-- test run's routines are everyone's.
GRANT EXECUTE ON ALL FUNCTIONS IN SCHEMA mero_test TO PUBLIC;
