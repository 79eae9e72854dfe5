-- Fault injection, call counting and argument logs for the reference
-- schema, loaded by the test run on top of it (never part of a line's
-- database).
--
-- Every routine that 90_hooks.sql lists starts with
-- mero_test.enter('<routine>'), which counts the call and then acts on a
-- fault planned for it:
--   mero_test.inject(routine, sqlcode, times)   the next `times` calls raise
--       'ORA-nnnnn: ...' for sqlcode -nnnnn (times -1: every call);
--   mero_test.inject_drop(routine, times)       the next calls end the
--       session from the server side (a lost connection);
--   mero_test.calls(routine)                    calls since the last reset;
--   mero_test.reset()                           clears faults and counts.
-- A routine listed with an argument also logs that argument's value as it
-- arrived into mero_test.received, in the caller's transaction (so a
-- rolled-back upload logs nothing).
-- Counts live in sequences, so they survive the rollback of the failing
-- statement: "fail twice, then succeed" works across reruns. The sequences
-- are unlogged: counting a call never makes the caller's transaction one
-- that changed something.

CREATE SCHEMA mero_test;

CREATE TABLE mero_test.fault (
    routine   text PRIMARY KEY,
    sqlcode   int  NOT NULL,          -- negative Oracle code; 0 = end the session
    from_call bigint NOT NULL,        -- first call that fails
    times     int  NOT NULL           -- number of failing calls, -1 = all
);

CREATE TABLE mero_test.routine (name text PRIMARY KEY);

CREATE FUNCTION mero_test.add_routine(p_name text) RETURNS void LANGUAGE plpgsql AS $$
BEGIN
    INSERT INTO mero_test.routine VALUES (p_name) ON CONFLICT DO NOTHING;
    EXECUTE format('CREATE UNLOGGED SEQUENCE IF NOT EXISTS mero_test.%I', 'calls_' || p_name);
END $$;

CREATE FUNCTION mero_test.calls(p_routine text) RETURNS bigint LANGUAGE plpgsql AS $$
DECLARE n bigint; called boolean;
BEGIN
    EXECUTE format('SELECT last_value, is_called FROM mero_test.%I', 'calls_' || p_routine)
        INTO n, called;
    RETURN CASE WHEN called THEN n ELSE 0 END;
END $$;

CREATE FUNCTION mero_test.inject(p_routine text, p_sqlcode int, p_times int) RETURNS void
LANGUAGE plpgsql AS $$
BEGIN
    INSERT INTO mero_test.fault VALUES (p_routine, p_sqlcode, mero_test.calls(p_routine) + 1, p_times)
    ON CONFLICT (routine) DO UPDATE
        SET sqlcode = EXCLUDED.sqlcode, from_call = EXCLUDED.from_call, times = EXCLUDED.times;
END $$;

CREATE FUNCTION mero_test.inject_drop(p_routine text, p_times int) RETURNS void
LANGUAGE sql AS $$ SELECT mero_test.inject(p_routine, 0, p_times) $$;

CREATE FUNCTION mero_test.reset() RETURNS void LANGUAGE plpgsql AS $$
DECLARE r record;
BEGIN
    DELETE FROM mero_test.fault;
    -- setval, unlike ALTER SEQUENCE ... RESTART, changes no catalog: a reset
    -- before every test case stays cheap.
    FOR r IN SELECT name FROM mero_test.routine LOOP
        PERFORM setval(format('mero_test.%I', 'calls_' || r.name)::regclass, 1, false);
    END LOOP;
END $$;

CREATE FUNCTION mero_test.enter(p_routine text) RETURNS boolean LANGUAGE plpgsql AS $$
DECLARE n bigint; f mero_test.fault%ROWTYPE;
BEGIN
    n := nextval(format('mero_test.%I', 'calls_' || p_routine));
    SELECT * INTO f FROM mero_test.fault WHERE routine = p_routine;
    IF FOUND AND n >= f.from_call AND (f.times < 0 OR n < f.from_call + f.times) THEN
        IF f.sqlcode = 0 THEN
            PERFORM pg_terminate_backend(pg_backend_pid());
            PERFORM pg_sleep(5);  -- the termination arrives during the sleep
        END IF;
        RAISE EXCEPTION USING MESSAGE =
            format('ORA-%s: injected fault in %s', lpad((-f.sqlcode)::text, 5, '0'), p_routine);
    END IF;
    RETURN true;
END $$;

CREATE TABLE mero_test.received (
    id      bigserial PRIMARY KEY,
    routine text NOT NULL,
    value   text
);

CREATE FUNCTION mero_test.log(p_routine text, p_value text) RETURNS void LANGUAGE sql AS $$
    INSERT INTO mero_test.received (routine, value) VALUES (p_routine, p_value);
$$;

-- A routine that does nothing but count and fail on demand, for tests of
-- the statement rules of the clients.
SELECT mero_test.add_routine('probe');
CREATE FUNCTION mero_test.probe() RETURNS int LANGUAGE plpgsql AS $$
BEGIN
    PERFORM mero_test.enter('probe');
    RETURN 7;
END $$;
