-- The remote database server's object references, handed to the
-- remote-object back-end after its registration: mero.getIOR returns the
-- current reference and gives the default (fallback) one in its OUT
-- parameter. Tests and stations write the one row of mero.server_ref.

CREATE TABLE mero.server_ref (
    only_row    boolean PRIMARY KEY DEFAULT true CHECK (only_row),
    ior         varchar(512),
    default_ior varchar(512)
);
INSERT INTO mero.server_ref (ior, default_ior) VALUES (NULL, NULL);
GRANT SELECT ON mero.server_ref TO mero_station;

CREATE FUNCTION mero.getior(OUT v_defaultior varchar, OUT result varchar) LANGUAGE plpgsql AS $$
BEGIN
    SELECT r.ior, r.default_ior INTO result, v_defaultior FROM mero.server_ref r;
END $$;
GRANT EXECUTE ON FUNCTION mero.getior() TO mero_station;
