-- The per-IMEI file store: one file per (IMEI, file type), written and read
-- in chunks through a file that is open in the session.
--
--   newFile(imei, type, name)  replaces the stored file by an empty one and
--                              opens it for appending
--   writeAppend(data, length)  appends the first `length` bytes of data
--   openFile(imei, type)       opens the stored file for reading; gives its name
--   read(data, length)         the next `length` bytes at most (fewer at the end)
--   closeFile()                closes the session's open file
--   deleteFile(imei, type)     removes the stored file
-- Each returns 0 or a nonzero result with a message.
--
-- Versions. Every upload writes a version of its own, numbered at newFile;
-- the head row of a file names its current version, and the parts (one row
-- per append, keyed by version and offset) belong to exactly one version and
-- never change. A new file replaces the old one at COMMIT by pointing the
-- head at the new version; a ROLLBACK leaves the head, and so the old file,
-- as it was. Nothing of an upload is visible to others before its COMMIT.
--
-- Storing is serialised per (IMEI, file type): newFile takes a transaction
-- lock on the pair, so a second station storing the same file waits until
-- the first one's transaction ends and then replaces the whole file at its
-- own COMMIT. The head of one upload never names the parts of another.
-- The wait is bounded: newFile and deleteFile wait at most 10 seconds for
-- the lock (their own lock_timeout, which no session setting changes), then
-- give up with result 10 and "File of type T for IMEI I is being stored by
-- another station", so a station whose upload froze holds up the others
-- for that long and no longer.
--
-- Fetching. openFile pins the version it finds with a shared session lock
-- on that version and reads only its parts until closeFile: a file replaced
-- or deleted in the meantime is still delivered whole, as the version that
-- was current at the open. A superseded version (replaced or deleted) is
-- listed in mero.imei_file_superseded and its parts are removed by the next
-- closeFile of an upload or the next deleteFile of any station, once no
-- reader holds it; a version still pinned stays until a later one of those.
--
-- Session state. The open file (mode, version) and the position in it are
-- settings of the session, not rows: reading a file changes nothing in the
-- database, so the caller's transaction ends after each read (the station
-- stays idle between calls), and a ROLLBACK of an upload resets them with
-- the upload. The pin is a session lock: it holds no transaction open.
--
-- mero.imei_file shows each file whole (name and bytes) and takes inserts
-- and deletes of whole files.

CREATE SCHEMA mero_imeifiles;
GRANT USAGE ON SCHEMA mero_imeifiles TO mero_station;

CREATE SEQUENCE mero.imei_file_version_seq;

CREATE TABLE mero.imei_file_head (
    imei     text NOT NULL,
    filetype text NOT NULL,
    filename text NOT NULL,
    version  bigint NOT NULL,
    PRIMARY KEY (imei, filetype)
);

-- The parts of a version end to end: part `off` holds the file's bytes from
-- offset `off` on.
CREATE TABLE mero.imei_file_part (
    version bigint NOT NULL,
    off     bigint NOT NULL,
    data    bytea NOT NULL,
    PRIMARY KEY (version, off)
);

-- Versions no head names any more, whose parts wait for removal.
CREATE TABLE mero.imei_file_superseded (version bigint PRIMARY KEY);

-- The file routines run with the station's rights, on these tables only.
GRANT USAGE ON SEQUENCE mero.imei_file_version_seq TO mero_station;
GRANT SELECT, INSERT, DELETE ON mero.imei_file_head, mero.imei_file_part, mero.imei_file_superseded
    TO mero_station;

-- Lock classes of the file store (first key of the two-key advisory locks):
-- a version read by a session, and the pair (IMEI, file type) being stored.
CREATE FUNCTION mero_imeifiles.version_lock_class() RETURNS int LANGUAGE sql IMMUTABLE AS 'SELECT 1296388686';
CREATE FUNCTION mero_imeifiles.store_lock_class() RETURNS int LANGUAGE sql IMMUTABLE AS 'SELECT 1296388687';
CREATE FUNCTION mero_imeifiles.version_key(p_version bigint) RETURNS int LANGUAGE sql IMMUTABLE
    AS 'SELECT (p_version % 2147483647)::int';

-- Takes the store lock of (IMEI, file type), waiting at most 10 seconds
-- (the routine's own lock_timeout); NULL when taken, else the text that
-- another station holds it.
CREATE FUNCTION mero_imeifiles.lock_store(p_imei text, p_filetype text) RETURNS text
LANGUAGE plpgsql SET lock_timeout = '10s' AS $$
BEGIN
    PERFORM pg_advisory_xact_lock(mero_imeifiles.store_lock_class(), hashtext(p_imei || '/' || p_filetype));
    RETURN NULL;
EXCEPTION WHEN lock_not_available THEN
    RETURN format('File of type %s for IMEI %s is being stored by another station', p_filetype, p_imei);
END $$;

CREATE VIEW mero.imei_file AS
    SELECT h.imei, h.filetype, h.filename,
           coalesce((SELECT string_agg(p.data, ''::bytea ORDER BY p.off) FROM mero.imei_file_part p
                      WHERE p.version = h.version), ''::bytea) AS data
      FROM mero.imei_file_head h;

-- Points the head of (imei, filetype) at a new version (or removes it when
-- p_filename is NULL); the version it named before becomes superseded.
CREATE FUNCTION mero_imeifiles.replace_head(p_imei text, p_filetype text, p_filename text, p_version bigint)
RETURNS boolean LANGUAGE plpgsql AS $$
DECLARE old bigint;
BEGIN
    DELETE FROM mero.imei_file_head WHERE imei = p_imei AND filetype = p_filetype RETURNING version INTO old;
    IF old IS NOT NULL THEN
        INSERT INTO mero.imei_file_superseded VALUES (old) ON CONFLICT DO NOTHING;
    END IF;
    IF p_filename IS NOT NULL THEN
        INSERT INTO mero.imei_file_head VALUES (p_imei, p_filetype, p_filename, p_version);
    END IF;
    RETURN old IS NOT NULL;
END $$;

-- Removes the parts of superseded versions that no session has pinned. A
-- version is taken with a transaction lock, so that no reader pins it while
-- its removal is not yet committed; one that a reader holds stays.
CREATE FUNCTION mero_imeifiles.sweep() RETURNS void LANGUAGE plpgsql AS $$
DECLARE v bigint;
BEGIN
    FOR v IN SELECT s.version FROM mero.imei_file_superseded s LOOP
        IF pg_try_advisory_xact_lock(mero_imeifiles.version_lock_class(), mero_imeifiles.version_key(v)) THEN
            DELETE FROM mero.imei_file_part WHERE version = v;
            DELETE FROM mero.imei_file_superseded WHERE version = v;
        END IF;
    END LOOP;
END $$;

CREATE FUNCTION mero.imei_file_change() RETURNS trigger LANGUAGE plpgsql AS $$
DECLARE v bigint;
BEGIN
    IF TG_OP = 'DELETE' THEN
        PERFORM mero_imeifiles.replace_head(OLD.imei, OLD.filetype, NULL, NULL);
        RETURN OLD;
    END IF;
    v := nextval('mero.imei_file_version_seq');
    PERFORM mero_imeifiles.replace_head(NEW.imei, NEW.filetype, NEW.filename, v);
    IF length(coalesce(NEW.data, ''::bytea)) > 0 THEN
        INSERT INTO mero.imei_file_part VALUES (v, 0, NEW.data);
    END IF;
    RETURN NEW;
END $$;
CREATE TRIGGER imei_file_change INSTEAD OF INSERT OR DELETE ON mero.imei_file
    FOR EACH ROW EXECUTE FUNCTION mero.imei_file_change();

-- The session's open file: mode 'w' (appending) or 'r' (reading), its
-- version, the position in it, and the length read reports instead of the
-- true one (test support; empty: the true one).
CREATE FUNCTION mero_imeifiles.set_open(p_mode text, p_version bigint, p_lie int) RETURNS void
LANGUAGE sql AS $$
    SELECT set_config('mero_imeifiles.mode', coalesce(p_mode, ''), false),
           set_config('mero_imeifiles.version', coalesce(p_version::text, ''), false),
           set_config('mero_imeifiles.pos', '0', false),
           set_config('mero_imeifiles.lie', coalesce(p_lie::text, ''), false);
$$;

CREATE FUNCTION mero_imeifiles.open_mode() RETURNS text LANGUAGE sql STABLE
    AS $$ SELECT coalesce(current_setting('mero_imeifiles.mode', true), '') $$;
CREATE FUNCTION mero_imeifiles.open_version() RETURNS bigint LANGUAGE sql STABLE
    AS $$ SELECT nullif(current_setting('mero_imeifiles.version', true), '')::bigint $$;
CREATE FUNCTION mero_imeifiles.open_pos() RETURNS bigint LANGUAGE sql STABLE
    AS $$ SELECT coalesce(nullif(current_setting('mero_imeifiles.pos', true), ''), '0')::bigint $$;
CREATE FUNCTION mero_imeifiles.open_lie() RETURNS int LANGUAGE sql STABLE
    AS $$ SELECT nullif(current_setting('mero_imeifiles.lie', true), '')::int $$;

-- Releases every version this session has pinned.
CREATE FUNCTION mero_imeifiles.unpin() RETURNS void LANGUAGE plpgsql AS $$
DECLARE k int;
BEGIN
    FOR k IN SELECT l.objid::bigint::int FROM pg_locks l
              WHERE l.locktype = 'advisory' AND l.pid = pg_backend_pid() AND l.objsubid = 2
                AND l.classid = mero_imeifiles.version_lock_class() AND l.mode = 'ShareLock'
                AND l.granted LOOP
        PERFORM pg_advisory_unlock_shared(mero_imeifiles.version_lock_class(), k);
    END LOOP;
END $$;

-- Limits a test can set: a file type newFile refuses, the largest file
-- writeAppend accepts (NULL: none) and a length that read reports instead of
-- the true one (NULL: the true one; taken at openFile).
CREATE TABLE mero.imei_file_control (
    one             boolean PRIMARY KEY DEFAULT true CHECK (one),
    refused_type    text,
    max_size        int,
    read_length_lie int
);
GRANT SELECT ON mero.imei_file_control TO mero_station;

CREATE FUNCTION mero_imeifiles.newfile(
    v_imei text, v_filetype text, v_filename text, v_errormessage OUT text, result OUT int)
LANGUAGE plpgsql AS $$
DECLARE v bigint;
BEGIN
    IF v_imei IS NULL OR v_filetype IS NULL OR v_filename IS NULL THEN
        result := 1;
        v_errormessage := 'newFile: IMEI, file type and file name are required';
        RETURN;
    END IF;
    IF EXISTS (SELECT FROM mero.imei_file_control WHERE refused_type = v_filetype) THEN
        result := 9;
        v_errormessage := format('newFile: file type %s is not accepted', v_filetype);
        RETURN;
    END IF;
    -- Waits for another station storing the same file to end its transaction.
    v_errormessage := mero_imeifiles.lock_store(v_imei, v_filetype);
    IF v_errormessage IS NOT NULL THEN
        result := 10;
        RETURN;
    END IF;
    PERFORM mero_imeifiles.unpin();
    v := nextval('mero.imei_file_version_seq');
    PERFORM mero_imeifiles.replace_head(v_imei, v_filetype, v_filename, v);
    PERFORM mero_imeifiles.set_open('w', v, NULL);
    result := 0;
END $$;

CREATE FUNCTION mero_imeifiles.writeappend(
    r_filedata bytea, n_length int, v_errormessage OUT text, result OUT int)
LANGUAGE plpgsql AS $$
DECLARE c mero.imei_file_control; chunk bytea; pos bigint;
BEGIN
    IF mero_imeifiles.open_mode() <> 'w' THEN
        result := 2;
        v_errormessage := 'writeAppend: no file is open for writing';
        RETURN;
    END IF;
    chunk := coalesce(r_filedata, ''::bytea);
    IF n_length IS NULL OR n_length < 0 OR n_length > length(chunk) THEN
        result := 3;
        v_errormessage := format('writeAppend: length %s does not match %s bytes of data',
                                 coalesce(n_length::text, 'NULL'), length(chunk));
        RETURN;
    END IF;
    pos := mero_imeifiles.open_pos();
    SELECT * INTO c FROM mero.imei_file_control;
    IF c.max_size IS NOT NULL AND pos + n_length > c.max_size THEN
        result := 4;
        v_errormessage := format('writeAppend: file larger than %s bytes', c.max_size);
        RETURN;
    END IF;
    IF n_length > 0 THEN
        IF n_length < length(chunk) THEN
            chunk := substring(chunk FROM 1 FOR n_length);
        END IF;
        INSERT INTO mero.imei_file_part VALUES (mero_imeifiles.open_version(), pos, chunk);
        PERFORM set_config('mero_imeifiles.pos', (pos + n_length)::text, false);
    END IF;
    result := 0;
END $$;

CREATE FUNCTION mero_imeifiles.closefile(v_errormessage OUT text, result OUT int)
LANGUAGE plpgsql AS $$
DECLARE m text := mero_imeifiles.open_mode();
BEGIN
    IF m = 'w' THEN
        -- The end of an upload: the version it replaces goes now unless
        -- a reader holds it.
        PERFORM mero_imeifiles.sweep();
    END IF;
    PERFORM mero_imeifiles.unpin();
    PERFORM mero_imeifiles.set_open(NULL, NULL, NULL);
    IF m = '' THEN
        result := 5;
        v_errormessage := 'closeFile: no file is open';
        RETURN;
    END IF;
    result := 0;
END $$;

CREATE FUNCTION mero_imeifiles.openfile(
    v_imei text, v_filetype text, v_filename OUT text, v_errormessage OUT text, result OUT int)
LANGUAGE plpgsql AS $$
DECLARE v bigint; again bigint;
BEGIN
    PERFORM mero_imeifiles.unpin();
    PERFORM mero_imeifiles.set_open(NULL, NULL, NULL);
    -- Pin the current version. A version becomes superseded before it can
    -- be removed, and its removal holds the version's lock: when the head
    -- still names the version once it is pinned, its parts stay.
    LOOP
        SELECT h.version INTO v FROM mero.imei_file_head h WHERE h.imei = v_imei AND h.filetype = v_filetype;
        IF v IS NULL THEN
            result := 6;
            v_errormessage := format('openFile: no file of type %s for IMEI %s',
                                     coalesce(v_filetype, '<null>'), coalesce(v_imei, '<null>'));
            RETURN;
        END IF;
        PERFORM pg_advisory_lock_shared(mero_imeifiles.version_lock_class(), mero_imeifiles.version_key(v));
        SELECT h.version, h.filename INTO again, v_filename FROM mero.imei_file_head h
         WHERE h.imei = v_imei AND h.filetype = v_filetype;
        EXIT WHEN again = v;
        PERFORM pg_advisory_unlock_shared(mero_imeifiles.version_lock_class(), mero_imeifiles.version_key(v));
    END LOOP;
    PERFORM mero_imeifiles.set_open('r', v, (SELECT c.read_length_lie FROM mero.imei_file_control c));
    result := 0;
END $$;

-- The bytes of a version from offset p_pos, at most p_want of them: the
-- part that holds the offset and those after it that the read reaches.
CREATE FUNCTION mero_imeifiles.span(p_version bigint, p_pos bigint, p_want int) RETURNS bytea
LANGUAGE plpgsql STABLE AS $$
DECLARE first bigint; out bytea;
BEGIN
    SELECT max(q.off) INTO first FROM mero.imei_file_part q WHERE q.version = p_version AND q.off <= p_pos;
    SELECT substring(string_agg(p.data, ''::bytea ORDER BY p.off) FROM (p_pos - min(p.off) + 1)::int FOR p_want)
      INTO out FROM mero.imei_file_part p
     WHERE p.version = p_version AND p.off >= coalesce(first, p_pos) AND p.off < p_pos + p_want;
    RETURN out;
END $$;

-- A read is one query: the open file and the position come from the
-- session's settings (the open_*() helpers), and the bytes from the part
-- that starts at the position and is as long as the read (a read of whole
-- appended chunks: one look-up by the key), else from mero_imeifiles.span.
-- It always gives exactly one row.
--
-- It is one SQL query declared STABLE and SETOF so that the planner takes
-- it into the caller's statement (a SQL function that returns a set is
-- inlined only when it is not VOLATILE): a prepared statement then plans
-- the whole read once per session, and a read is an index look-up, not a
-- routine run of its own.
-- STABLE holds for what the planner relies on: the read changes no table,
-- and within the caller's statement it runs once. What it does change is a
-- setting of the session, the read position, with set_config in its outer
-- SELECT; the next read finds it there.
--
-- The position must be read before it is moved, and the bytes looked up
-- once: subquery f reads the settings and the bytes, and the outer SELECT
-- moves the position by what f found. OFFSET 0 keeps f a subquery of its
-- own, which the planner does not pull up into the outer SELECT, so f is
-- computed whole, once, before the outer SELECT's columns. Pulled up, each
-- of the outer columns that uses f.data would look the bytes up again, and
-- whether the settings are read before set_config moves the position would
-- rest on the order in which the outer columns are computed.
CREATE FUNCTION mero_imeifiles.read(
    r_filedata INOUT bytea, n_length INOUT int, v_errormessage OUT text, result OUT int)
RETURNS SETOF record LANGUAGE sql STABLE AS $$
    SELECT CASE WHEN f.open THEN f.data ELSE r_filedata END,
           CASE WHEN f.open THEN coalesce(f.lie, length(f.data), 0) ELSE n_length END,
           CASE WHEN NOT f.open THEN 'read: no file is open for reading' END,
           CASE WHEN NOT f.open THEN 7
                WHEN set_config('mero_imeifiles.pos', (f.pos + coalesce(length(f.data), 0))::text, false) <> ''
                THEN 0 END
      FROM (SELECT s.open, s.pos, s.lie,
                   coalesce((SELECT p.data FROM mero.imei_file_part p
                              WHERE s.open AND p.version = s.version AND p.off = s.pos
                                AND length(p.data) = s.want),
                            CASE WHEN s.open THEN mero_imeifiles.span(s.version, s.pos, s.want) END) AS data
              FROM (SELECT mero_imeifiles.open_mode() = 'r' AS open,
                           mero_imeifiles.open_version() AS version,
                           mero_imeifiles.open_pos() AS pos,
                           greatest(coalesce(n_length, 0), 0) AS want,
                           mero_imeifiles.open_lie() AS lie) s
            OFFSET 0) f
$$;

CREATE FUNCTION mero_imeifiles.deletefile(
    v_imei text, v_filetype text, v_errormessage OUT text, result OUT int)
LANGUAGE plpgsql AS $$
BEGIN
    v_errormessage := mero_imeifiles.lock_store(v_imei, v_filetype);
    IF v_errormessage IS NOT NULL THEN
        result := 10;
        RETURN;
    END IF;
    IF NOT mero_imeifiles.replace_head(v_imei, v_filetype, NULL, NULL) THEN
        result := 8;
        v_errormessage := format('deleteFile: no file of type %s for IMEI %s',
                                 coalesce(v_filetype, '<null>'), coalesce(v_imei, '<null>'));
        RETURN;
    END IF;
    PERFORM mero_imeifiles.sweep();
    result := 0;
END $$;

INSERT INTO mero.imei_file_control DEFAULT VALUES;

-- Every routine of the file store is the stations' (the statements call
-- six of them, which call the others).
GRANT EXECUTE ON ALL FUNCTIONS IN SCHEMA mero_imeifiles TO mero_station;
