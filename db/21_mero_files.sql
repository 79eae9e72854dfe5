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
-- The open file is a row of mero.imei_file_session for the session's server
-- process, written in the session's transaction: a ROLLBACK drops it together
-- with an unfinished upload. Nothing of a file is visible to others before
-- the session commits.

CREATE SCHEMA mero_imeifiles;

CREATE TABLE mero.imei_file (
    imei     text NOT NULL,
    filetype text NOT NULL,
    filename text NOT NULL,
    data     bytea NOT NULL DEFAULT ''::bytea,
    PRIMARY KEY (imei, filetype)
);

CREATE TABLE mero.imei_file_session (
    backend_pid int PRIMARY KEY,
    imei        text NOT NULL,
    filetype    text NOT NULL,
    mode        char(1) NOT NULL,   -- 'w' appending, 'r' reading
    pos         int NOT NULL DEFAULT 0
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

CREATE FUNCTION mero_test.open_file_of_session() RETURNS mero.imei_file_session
LANGUAGE sql AS $$
    SELECT * FROM mero.imei_file_session WHERE backend_pid = pg_backend_pid()
$$;

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
    DELETE FROM mero.imei_file WHERE imei = v_imei AND filetype = v_filetype;
    INSERT INTO mero.imei_file (imei, filetype, filename) VALUES (v_imei, v_filetype, v_filename);
    INSERT INTO mero.imei_file_session (backend_pid, imei, filetype, mode)
        VALUES (pg_backend_pid(), v_imei, v_filetype, 'w')
        ON CONFLICT (backend_pid) DO UPDATE
            SET imei = EXCLUDED.imei, filetype = EXCLUDED.filetype, mode = 'w', pos = 0;
    result := 0;
END $$;

SELECT mero_test.add_routine('writeappend');
CREATE FUNCTION mero_imeifiles.writeappend(
    r_filedata bytea, n_length int, v_errormessage OUT text, result OUT int)
LANGUAGE plpgsql AS $$
DECLARE s mero.imei_file_session; c mero.imei_file_control; chunk bytea;
BEGIN
    PERFORM mero_test.enter('writeappend');
    INSERT INTO mero.imei_file_chunk (routine, n_length) VALUES ('writeappend', n_length);
    s := mero_test.open_file_of_session();
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
    SELECT * INTO c FROM mero.imei_file_control;
    IF c.max_size IS NOT NULL AND
       (SELECT length(f.data) FROM mero.imei_file f
         WHERE f.imei = s.imei AND f.filetype = s.filetype) + n_length > c.max_size THEN
        result := 4;
        v_errormessage := format('writeAppend: file larger than %s bytes', c.max_size);
        RETURN;
    END IF;
    UPDATE mero.imei_file f SET data = f.data || substring(chunk FROM 1 FOR n_length)
     WHERE f.imei = s.imei AND f.filetype = s.filetype;
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
    SELECT f.filename INTO v_filename FROM mero.imei_file f
     WHERE f.imei = v_imei AND f.filetype = v_filetype;
    IF NOT FOUND THEN
        result := 6;
        v_errormessage := format('openFile: no file of type %s for IMEI %s',
                                 coalesce(v_filetype, '<null>'), coalesce(v_imei, '<null>'));
        RETURN;
    END IF;
    INSERT INTO mero.imei_file_session (backend_pid, imei, filetype, mode)
        VALUES (pg_backend_pid(), v_imei, v_filetype, 'r')
        ON CONFLICT (backend_pid) DO UPDATE
            SET imei = EXCLUDED.imei, filetype = EXCLUDED.filetype, mode = 'r', pos = 0;
    result := 0;
END $$;

SELECT mero_test.add_routine('read');
CREATE FUNCTION mero_imeifiles.read(
    r_filedata INOUT bytea, n_length INOUT int, v_errormessage OUT text, result OUT int)
LANGUAGE plpgsql AS $$
DECLARE s mero.imei_file_session; c mero.imei_file_control; want int;
BEGIN
    PERFORM mero_test.enter('read');
    INSERT INTO mero.imei_file_chunk (routine, n_length) VALUES ('read', n_length);
    s := mero_test.open_file_of_session();
    IF s.backend_pid IS NULL OR s.mode <> 'r' THEN
        result := 7;
        v_errormessage := 'read: no file is open for reading';
        RETURN;
    END IF;
    want := greatest(coalesce(n_length, 0), 0);
    SELECT substring(f.data FROM s.pos + 1 FOR want) INTO r_filedata FROM mero.imei_file f
     WHERE f.imei = s.imei AND f.filetype = s.filetype;
    n_length := coalesce(length(r_filedata), 0);
    UPDATE mero.imei_file_session SET pos = pos + n_length WHERE backend_pid = s.backend_pid;
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
    DELETE FROM mero.imei_file WHERE imei = v_imei AND filetype = v_filetype;
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
    DELETE FROM mero.imei_file;
    DELETE FROM mero.imei_file_session;
    DELETE FROM mero.imei_file_chunk;
    DELETE FROM mero.imei_file_control;
    INSERT INTO mero.imei_file_control DEFAULT VALUES;
END $$;
SELECT mero_test.clear_files();
