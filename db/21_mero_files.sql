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
-- A file is a head row (its name) and its bytes as parts, one row per
-- append, keyed by the part's offset in the file: an append costs the size
-- of its chunk, and a read finds the parts it covers through the key.
-- mero.imei_file shows each file whole (name and bytes) and takes inserts
-- and deletes of whole files.
--
-- The open file is a row of mero.imei_file_session for the session's server
-- process, written in the session's transaction: a ROLLBACK drops it together
-- with an unfinished upload. The position in it (bytes written, or the read
-- position) is the setting mero_imeifiles.pos of the session, which a
-- ROLLBACK resets too; keeping it out of the row spares a row version per
-- chunk. Nothing of a file is visible to others before
-- the session commits: a new file replaces the old one at COMMIT, and a
-- ROLLBACK leaves the old one whole.

CREATE SCHEMA mero_imeifiles;

CREATE TABLE mero.imei_file_head (
    imei     text NOT NULL,
    filetype text NOT NULL,
    filename text NOT NULL,
    PRIMARY KEY (imei, filetype)
);

-- The parts of a file end to end: part `off` holds the file's bytes from
-- offset `off` on.
CREATE TABLE mero.imei_file_part (
    imei     text NOT NULL,
    filetype text NOT NULL,
    off      bigint NOT NULL,
    data     bytea NOT NULL,
    PRIMARY KEY (imei, filetype, off)
);

CREATE VIEW mero.imei_file AS
    SELECT h.imei, h.filetype, h.filename,
           coalesce((SELECT string_agg(p.data, ''::bytea ORDER BY p.off) FROM mero.imei_file_part p
                      WHERE p.imei = h.imei AND p.filetype = h.filetype), ''::bytea) AS data
      FROM mero.imei_file_head h;

CREATE FUNCTION mero.imei_file_change() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
    IF TG_OP = 'DELETE' THEN
        DELETE FROM mero.imei_file_part WHERE imei = OLD.imei AND filetype = OLD.filetype;
        DELETE FROM mero.imei_file_head WHERE imei = OLD.imei AND filetype = OLD.filetype;
        RETURN OLD;
    END IF;
    INSERT INTO mero.imei_file_head VALUES (NEW.imei, NEW.filetype, NEW.filename);
    IF length(coalesce(NEW.data, ''::bytea)) > 0 THEN
        INSERT INTO mero.imei_file_part VALUES (NEW.imei, NEW.filetype, 0, NEW.data);
    END IF;
    RETURN NEW;
END $$;
CREATE TRIGGER imei_file_change INSTEAD OF INSERT OR DELETE ON mero.imei_file
    FOR EACH ROW EXECUTE FUNCTION mero.imei_file_change();

CREATE TABLE mero.imei_file_session (
    backend_pid int PRIMARY KEY,
    imei        text NOT NULL,
    filetype    text NOT NULL,
    mode        char(1) NOT NULL    -- 'w' appending, 'r' reading
);

-- Every append and read length as the routines received it (test support;
-- written in the session's transaction like the file itself).
CREATE TABLE mero.imei_file_chunk (
    id       bigserial PRIMARY KEY,
    routine  text,
    n_length int
);

-- Limits a test can set: a file type newFile refuses, the largest file
-- writeAppend accepts (NULL: none) and a length that read reports instead of
-- the true one (NULL: the true one).
CREATE TABLE mero.imei_file_control (
    one             boolean PRIMARY KEY DEFAULT true CHECK (one),
    refused_type    text,
    max_size        int,
    read_length_lie int
);

SELECT mero_test.add_routine('newfile');
CREATE FUNCTION mero_imeifiles.newfile(
    v_imei text, v_filetype text, v_filename text, v_errormessage OUT text, result OUT int)
LANGUAGE plpgsql AS $$
BEGIN
    PERFORM mero_test.enter('newfile');
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
    DELETE FROM mero.imei_file_part WHERE imei = v_imei AND filetype = v_filetype;
    DELETE FROM mero.imei_file_head WHERE imei = v_imei AND filetype = v_filetype;
    INSERT INTO mero.imei_file_head VALUES (v_imei, v_filetype, v_filename);
    INSERT INTO mero.imei_file_session (backend_pid, imei, filetype, mode)
        VALUES (pg_backend_pid(), v_imei, v_filetype, 'w')
        ON CONFLICT (backend_pid) DO UPDATE
            SET imei = EXCLUDED.imei, filetype = EXCLUDED.filetype, mode = 'w';
    PERFORM set_config('mero_imeifiles.pos', '0', false);
    result := 0;
END $$;

SELECT mero_test.add_routine('writeappend');
CREATE FUNCTION mero_imeifiles.writeappend(
    r_filedata bytea, n_length int, v_errormessage OUT text, result OUT int)
LANGUAGE plpgsql AS $$
DECLARE s mero.imei_file_session; c mero.imei_file_control; chunk bytea; pos bigint;
BEGIN
    PERFORM mero_test.enter('writeappend');
    INSERT INTO mero.imei_file_chunk (routine, n_length) VALUES ('writeappend', n_length);
    SELECT * INTO s FROM mero.imei_file_session WHERE backend_pid = pg_backend_pid();
    IF s.backend_pid IS NULL OR s.mode <> 'w' THEN
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
    pos := coalesce(nullif(current_setting('mero_imeifiles.pos', true), ''), '0')::bigint;
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
        INSERT INTO mero.imei_file_part VALUES (s.imei, s.filetype, pos, chunk);
        PERFORM set_config('mero_imeifiles.pos', (pos + n_length)::text, false);
    END IF;
    result := 0;
END $$;

SELECT mero_test.add_routine('closefile');
CREATE FUNCTION mero_imeifiles.closefile(v_errormessage OUT text, result OUT int)
LANGUAGE plpgsql AS $$
BEGIN
    PERFORM mero_test.enter('closefile');
    DELETE FROM mero.imei_file_session WHERE backend_pid = pg_backend_pid();
    IF NOT FOUND THEN
        result := 5;
        v_errormessage := 'closeFile: no file is open';
        RETURN;
    END IF;
    result := 0;
END $$;

SELECT mero_test.add_routine('openfile');
CREATE FUNCTION mero_imeifiles.openfile(
    v_imei text, v_filetype text, v_filename OUT text, v_errormessage OUT text, result OUT int)
LANGUAGE plpgsql AS $$
BEGIN
    PERFORM mero_test.enter('openfile');
    SELECT h.filename INTO v_filename FROM mero.imei_file_head h
     WHERE h.imei = v_imei AND h.filetype = v_filetype;
    IF NOT FOUND THEN
        result := 6;
        v_errormessage := format('openFile: no file of type %s for IMEI %s',
                                 coalesce(v_filetype, '<null>'), coalesce(v_imei, '<null>'));
        RETURN;
    END IF;
    INSERT INTO mero.imei_file_session (backend_pid, imei, filetype, mode)
        VALUES (pg_backend_pid(), v_imei, v_filetype, 'r')
        ON CONFLICT (backend_pid) DO UPDATE
            SET imei = EXCLUDED.imei, filetype = EXCLUDED.filetype, mode = 'r';
    PERFORM set_config('mero_imeifiles.pos', '0', false);
    result := 0;
END $$;

SELECT mero_test.add_routine('read');
CREATE FUNCTION mero_imeifiles.read(
    r_filedata INOUT bytea, n_length INOUT int, v_errormessage OUT text, result OUT int)
LANGUAGE plpgsql AS $$
DECLARE s mero.imei_file_session; c mero.imei_file_control; want int; pos bigint; first bigint;
BEGIN
    PERFORM mero_test.enter('read');
    INSERT INTO mero.imei_file_chunk (routine, n_length) VALUES ('read', n_length);
    SELECT * INTO s FROM mero.imei_file_session WHERE backend_pid = pg_backend_pid();
    IF s.backend_pid IS NULL OR s.mode <> 'r' THEN
        result := 7;
        v_errormessage := 'read: no file is open for reading';
        RETURN;
    END IF;
    want := greatest(coalesce(n_length, 0), 0);
    pos := coalesce(nullif(current_setting('mero_imeifiles.pos', true), ''), '0')::bigint;
    -- Mostly a read is one whole part, as it was appended.
    SELECT p.data INTO r_filedata FROM mero.imei_file_part p
     WHERE p.imei = s.imei AND p.filetype = s.filetype AND p.off = pos;
    IF r_filedata IS NULL OR length(r_filedata) <> want THEN
        -- The part that holds the read position, and the parts after it
        -- that the read reaches.
        SELECT p.off INTO first FROM mero.imei_file_part p
         WHERE p.imei = s.imei AND p.filetype = s.filetype AND p.off <= pos
         ORDER BY p.off DESC LIMIT 1;
        SELECT substring(string_agg(p.data, ''::bytea ORDER BY p.off) FROM (pos - first + 1)::int FOR want)
          INTO r_filedata FROM mero.imei_file_part p
         WHERE p.imei = s.imei AND p.filetype = s.filetype AND p.off >= first AND p.off < pos + want;
    END IF;
    n_length := coalesce(length(r_filedata), 0);
    PERFORM set_config('mero_imeifiles.pos', (pos + n_length)::text, false);
    SELECT * INTO c FROM mero.imei_file_control;
    n_length := coalesce(c.read_length_lie, n_length);
    result := 0;
END $$;

SELECT mero_test.add_routine('deletefile');
CREATE FUNCTION mero_imeifiles.deletefile(
    v_imei text, v_filetype text, v_errormessage OUT text, result OUT int)
LANGUAGE plpgsql AS $$
BEGIN
    PERFORM mero_test.enter('deletefile');
    DELETE FROM mero.imei_file_part WHERE imei = v_imei AND filetype = v_filetype;
    DELETE FROM mero.imei_file_head WHERE imei = v_imei AND filetype = v_filetype;
    IF NOT FOUND THEN
        result := 8;
        v_errormessage := format('deleteFile: no file of type %s for IMEI %s',
                                 coalesce(v_filetype, '<null>'), coalesce(v_imei, '<null>'));
        RETURN;
    END IF;
    result := 0;
END $$;

CREATE FUNCTION mero_test.clear_files() RETURNS void LANGUAGE plpgsql AS $$
BEGIN
    DELETE FROM mero.imei_file_part;
    DELETE FROM mero.imei_file_head;
    DELETE FROM mero.imei_file_session;
    DELETE FROM mero.imei_file_chunk;
    DELETE FROM mero.imei_file_control;
    INSERT INTO mero.imei_file_control DEFAULT VALUES;
END $$;
SELECT mero_test.clear_files();
