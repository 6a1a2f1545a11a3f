-- The clip table of a new, empty ClipsData.db. The build runs this once into a fresh file;
-- the program itself never creates the database or the table.
--
-- ID is an AUTOINCREMENT key, so that a deleted ID is never given again and clear-all can
-- restart the numbering through sqlite_sequence. Content has no declared type, so text stays
-- text and blobs stay blobs. Modified and Lock default to 0 for the inserts that leave them out.
--
-- The file keeps its text as UTF-16, the form in which the program binds and reads every text,
-- so that SQLite hands texts over without converting them.
PRAGMA encoding = 'UTF-16le';

CREATE TABLE ClipsData (
    ID         INTEGER PRIMARY KEY AUTOINCREMENT,
    DataFormat INTEGER,
    Type       TEXT,
    Title      TEXT,
    Source     TEXT,
    Size       INTEGER,
    TimeStamp  TEXT,
    Content,
    Modified   INTEGER DEFAULT 0,
    FormatList TEXT,
    Lock       INTEGER DEFAULT 0
);
