-- Roles, and what only a superuser may do for the schema. Run once per
-- database, as a superuser, before the other files of db/; they are then
-- loaded as mero_owner (psql as mero_owner, or a superuser's session after
-- SET ROLE mero_owner), so that mero_owner owns every object they make.
-- Every statement may run again: roles are server-wide, and a second
-- database of the same server finds them made.
--
--   mero_owner    owns the schema. Not a superuser, creates no databases or
--                 roles. It logs in only for the record link (see
--                 15_mero_records.sql), with a password: give it one
--                 (ALTER ROLE mero_owner PASSWORD '...') and a pg_hba.conf
--                 line that asks it for one (scram-sha-256), above any trust
--                 line that would match it.
--   mero_station  the rights of a station, granted by each file to exactly
--                 the routines and tables the stations' statements use;
--                 nothing on the recording machinery. Not a login: each
--                 station logs in with a login of its own made a member,
--                 CREATE ROLE <station> LOGIN IN ROLE mero_station.
--
-- No routine of mero_owner is executable by PUBLIC: a file grants EXECUTE
-- to mero_station routine by routine.

DO $$
BEGIN
    IF NOT EXISTS (SELECT FROM pg_catalog.pg_roles WHERE rolname = 'mero_owner') THEN
        CREATE ROLE mero_owner LOGIN NOSUPERUSER NOCREATEDB NOCREATEROLE;
    END IF;
    IF NOT EXISTS (SELECT FROM pg_catalog.pg_roles WHERE rolname = 'mero_station') THEN
        CREATE ROLE mero_station NOLOGIN NOSUPERUSER NOCREATEDB NOCREATEROLE;
    END IF;
END $$;

ALTER DEFAULT PRIVILEGES FOR ROLE mero_owner REVOKE EXECUTE ON FUNCTIONS FROM PUBLIC;

-- Nobody but the database's owner creates objects in public (a station
-- that could would plant functions named like those the routines call).
REVOKE CREATE ON SCHEMA public FROM PUBLIC;

-- The record link's client: dblink, which only a superuser installs, in a
-- schema of its own that only mero_owner may use.
CREATE SCHEMA IF NOT EXISTS mero_link AUTHORIZATION mero_owner;
REVOKE ALL ON SCHEMA mero_link FROM PUBLIC;
CREATE EXTENSION IF NOT EXISTS dblink SCHEMA mero_link;
GRANT USAGE ON FOREIGN DATA WRAPPER dblink_fdw TO mero_owner;
