-- The catalogue of the two trees. Run once at every start on a freshly emptied database.
-- ID is the row id the result rows carry; no AUTOINCREMENT, so no sqlite_sequence table either.
CREATE TABLE IF NOT EXISTS [FILE] (
    ID              INTEGER PRIMARY KEY,
    NAME            TEXT    NOT NULL,
    FULL_PATH       TEXT    NOT NULL,
    RELATIVE_PATH   TEXT    NOT NULL,
    EXTENSION       TEXT    NOT NULL DEFAULT '',
    SIZE            INTEGER NOT NULL DEFAULT 0,
    LAST_WRITE_TIME INTEGER NOT NULL DEFAULT 0
);

CREATE TABLE IF NOT EXISTS [BACKUP] (
    ID              INTEGER PRIMARY KEY,
    BACKUP_ID       INTEGER NOT NULL DEFAULT 0,
    NAME            TEXT    NOT NULL,
    FULL_PATH       TEXT    NOT NULL,
    RELATIVE_PATH   TEXT    NOT NULL,
    EXTENSION       TEXT    NOT NULL DEFAULT '',
    SIZE            INTEGER NOT NULL DEFAULT 0,
    LAST_WRITE_TIME INTEGER NOT NULL DEFAULT 0
);

-- The diff script pairs on the exact folder and name (binary collation: names are case-sensitive
-- here) and picks one backup tree by BACKUP_ID; these make every pairing a single index probe.
-- Size and time ride along so that a pair is compared without reading either row.
CREATE INDEX IF NOT EXISTS FILE_BY_PLACE ON [FILE] (RELATIVE_PATH, NAME, SIZE, LAST_WRITE_TIME);
CREATE INDEX IF NOT EXISTS BACKUP_BY_PLACE ON [BACKUP] (BACKUP_ID, RELATIVE_PATH, NAME, SIZE, LAST_WRITE_TIME);
