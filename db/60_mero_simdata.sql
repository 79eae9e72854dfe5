-- The SIM-data coder of the reference schema: coder "SIMDATA" answers any
-- request with one fixed 600-byte SIM-data answer (mero.coder, routine
-- getdata). The answer: version 1 (32-bit, little-endian) at 0, encrypted
-- block 1 at 24 (224 bytes), encrypted block 2 at 248 (232 bytes), access
-- block 1 at 526 (56 bytes) and the Bluetooth id 0a 0b 0c 0d 0e 0f, in the
-- phone's NV order, at 592; the other bytes follow the pattern below.

-- Byte i of the answer is (i * 7 + 3) mod 256 outside the fixed fields.
CREATE FUNCTION mero.simdata_answer() RETURNS bytea LANGUAGE plpgsql AS $$
DECLARE a bytea := '\x'::bytea; i int;
BEGIN
    FOR i IN 0..599 LOOP
        a := a || set_byte('\x00'::bytea, 0, (i * 7 + 3) % 256);
    END LOOP;
    a := overlay(a PLACING '\x01000000'::bytea FROM 1 FOR 4);
    a := overlay(a PLACING '\x0a0b0c0d0e0f'::bytea FROM 593 FOR 6);
    RETURN a;
END $$;

INSERT INTO mero.coder (coder, output) VALUES ('SIMDATA', mero.simdata_answer());
