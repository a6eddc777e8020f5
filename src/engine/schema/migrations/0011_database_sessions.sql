-- Sessions kept in the database ([server] sessions = "database"), shared by
-- every server of the site: one row per session with its time-out and
-- sliding expiry, one row per value name, so two requests of one session
-- that change different names never overwrite each other.
CREATE TABLE qvSession (
  ID          counter,
  dbSessionID text(32) NOT NULL,
  dbTimeout   long NOT NULL,                     -- minutes of inactivity
  dbExpires   double NOT NULL                    -- seconds since 1970 (UTC) it ends unless used
);
CREATE UNIQUE INDEX qvSession_SessionID ON qvSession (dbSessionID);
CREATE INDEX qvSession_Expires ON qvSession (dbExpires);
CREATE TABLE qvSessionValue (
  ID          counter,
  dbSessionID text(32) NOT NULL,
  dbName      text(255) NOT NULL,                -- lower case
  dbKind      short NOT NULL,                    -- the value's kind (database_session_store.cc)
  dbValue     memo
);
CREATE UNIQUE INDEX qvSessionValue_Name ON qvSessionValue (dbSessionID, dbName);
