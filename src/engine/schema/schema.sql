-- qvTome database schema, in the desktop SQL dialect.
--
-- Every table has the counter key ID, and a Stamp field that record
-- write-back uses to refuse changes made over someone else's newer save.
-- Yes/no fields default to false and the numeric page flags to 0, so that a
-- row added with only some fields set never holds Null where pages test a
-- flag or a level. Statements end with ";" at the end of a line.

-- System messages: one row per key, one text per language suffix.
-- Keys compare without regard to case, so a key exists once; a second
-- placeholder row for a missing key is refused by the unique index.
CREATE TABLE qvSystemMsg (
  ID      counter,
  dbName  text(100),                             -- key without language suffix
  dbMsg_e memo,
  dbMsg_n memo,
  dbOrder long DEFAULT 0,                        -- load order; placeholders come first
  Stamp   text(50)
);

CREATE UNIQUE INDEX qvSystemMsg_Name ON qvSystemMsg (dbName);
CREATE INDEX qvSystemMsg_Order ON qvSystemMsg (dbOrder, ID);

-- Users. dbPassword holds the encoded password, Null for none.
-- dbPasswordType: 0 and above form and network login (1: the user may
-- not change it), -1 network login only, below -1 no login.
CREATE TABLE qvAuthUser (
  ID                counter,
  dbUserID          text(50),
  dbPassword        text(100),
  dbPasswordType    short DEFAULT 0,
  dbExpiredDate     datetime,                    -- Null: never expires
  dbLANUserID       text(100),                   -- network user name, without domain
  dbMajorGroup      text(50),                    -- qvAuthGroup.dbGroupID; 99 administrators
  dbMinorGroups     text(255),                   -- group ids joined by comma and blank
  dbPositionTitle_e text(100),
  dbPositionTitle_n text(100),
  dbFullName_e      text(100),
  dbFullName_n      text(100),
  dbeMail           text(100),
  dbTel             text(50),
  dbFax             text(50),
  dbZipCode         text(20),
  dbCountry         text(50),
  dbAddress_e       memo,
  dbAddress_n       memo,
  dbDescription_e   memo,
  dbDescription_n   memo,
  dbRemark_e        memo,
  dbRemark_n        memo,
  Stamp             text(50)
);

CREATE UNIQUE INDEX qvAuthUser_UserID ON qvAuthUser (dbUserID);
CREATE INDEX qvAuthUser_LANUserID ON qvAuthUser (dbLANUserID);

-- Groups. A group id that is a number is also an access level: pages
-- whose dbGroup is at most the user's major group id are readable.
CREATE TABLE qvAuthGroup (
  ID          counter,
  dbGroupID   text(50),
  dbName_e    text(100),
  dbName_n    text(100),
  dbMajorOnly yesno DEFAULT false,               -- may serve as a major group
  Stamp       text(50)
);

CREATE UNIQUE INDEX qvAuthGroup_GroupID ON qvAuthGroup (dbGroupID);

-- One row per user with the fields of the user's major group. The join
-- is on the group's unique id, so no user is listed twice; a user whose
-- major group does not exist is listed with empty group fields. The
-- password stays out of the list.
CREATE VIEW qvAuthUserList AS
  SELECT u.ID AS ID,
         u.dbUserID AS dbUserID,
         u.dbPasswordType AS dbPasswordType,
         u.dbExpiredDate AS dbExpiredDate,
         u.dbLANUserID AS dbLANUserID,
         u.dbMajorGroup AS dbMajorGroup,
         u.dbMinorGroups AS dbMinorGroups,
         u.dbPositionTitle_e AS dbPositionTitle_e,
         u.dbPositionTitle_n AS dbPositionTitle_n,
         u.dbFullName_e AS dbFullName_e,
         u.dbFullName_n AS dbFullName_n,
         u.dbeMail AS dbeMail,
         u.dbTel AS dbTel,
         u.dbFax AS dbFax,
         u.dbZipCode AS dbZipCode,
         u.dbCountry AS dbCountry,
         g.dbGroupID AS dbGroupID,
         g.dbName_e AS dbName_e,
         g.dbName_n AS dbName_n,
         g.dbMajorOnly AS dbMajorOnly
  FROM qvAuthUser AS u
  LEFT JOIN qvAuthGroup AS g ON g.dbGroupID = u.dbMajorGroup;

-- Activity log, one row per logged action. dbTime is the time since the
-- user's previous logged action, in days.
CREATE TABLE qvAuthLog (
  ID            counter,
  dbTableName   text(50),
  dbRecordID    long,
  dbAction      short,
  dbPageName    text(255),
  dbQueryString memo,
  dbFormString  memo,
  dbTime        double,
  dbUserID      text(50),
  dbIP          text(50),
  dbDate        datetime,
  Stamp         text(50)
);

CREATE INDEX qvAuthLog_Date ON qvAuthLog (dbDate);
CREATE INDEX qvAuthLog_User ON qvAuthLog (dbUserID, dbDate);
CREATE INDEX qvAuthLog_Record ON qvAuthLog (dbTableName, dbRecordID);

-- Code tables: the choices of drop-downs and check lists. dbType names
-- the list, dbValue is what a form posts, dbName_ what it shows.
CREATE TABLE qvCodeDefList (
  ID       counter,
  dbType   text(50),
  dbValue  text(100),
  dbName_e text(255),
  dbName_n text(255),
  dbOrder  short DEFAULT 0,
  Stamp    text(50)
);

CREATE INDEX qvCodeDefList_Type ON qvCodeDefList (dbType, dbOrder, ID);

-- Book registry: one row per book; its pages live in dbTableName.
-- User and group lists hold ids joined by ", ".
CREATE TABLE qvAuthBook (
  ID                       counter,
  dbTableName              text(50),
  dbBookCode               text(50),
  dbTitle_e                text(255),
  dbTitle_n                text(255),
  dbDescription_e          memo,
  dbDescription_n          memo,
  dbRemark_e               memo,
  dbRemark_n               memo,
  dbOwnerID                text(50),
  dbGroup                  short DEFAULT 0,      -- access level of new pages; 255 a heading
  dbPageLevelMin           short DEFAULT 1,
  dbPageLevelMax           short DEFAULT 3,
  dbOrder                  short DEFAULT 0,
  dbIndent                 short DEFAULT 0,
  dbFinished_e             yesno DEFAULT false,
  dbFinished_n             yesno DEFAULT false,
  dbBookURL                text(255),            -- entry address of the course list
  dbGlossaryBooks          text(255),            -- glossary book ids joined by commas
  dbAuthorUserID           memo,
  dbAuthorGroupID          memo,
  dbAuthType               memo,                 -- author rights; Null gives the full set
  dbEditorUserID           memo,
  dbEditorGroupID          memo,
  dbEditType               memo,
  dbReaderUserID           memo,
  dbReaderGroupID          memo,
  dbFormatRead_e           memo,
  dbFormatRead_n           memo,
  dbFormatReadDiscussion_e memo,
  dbFormatReadDiscussion_n memo,
  dbFormatReadAll_e        memo,
  dbFormatReadAll_n        memo,
  dbFormatEdit             memo,                 -- field list of the page form for editors
  dbFormatAuth             memo,                 -- field list of the page form for authors
  Stamp                    text(50)
);

CREATE INDEX qvAuthBook_Table ON qvAuthBook (dbTableName, dbOrder, ID);
CREATE INDEX qvAuthBook_Owner ON qvAuthBook (dbOwnerID);

-- The glossary books a book may link its terms to: the registered books
-- of the glossary table, title first and id second, as a choice list
-- reads them.
CREATE VIEW qvglossaryBook AS
  SELECT dbTitle_e AS dbTitle_e, ID AS dbBookID, dbTitle_n AS dbTitle_n
  FROM qvAuthBook
  WHERE dbTableName = 'qvglossary'
  ORDER BY dbOrder, ID;

-- Book tables. All of them have the same columns, so that every page
-- form field list works in every book; the catalogue fields matter in
-- qvlibrary, dbYear and dbKeyword_ in qvmedia and qvglossary too.

-- qvbook: the default book table.
CREATE TABLE qvbook (
  ID                   counter,
  dbPID                long,                     -- parent page; -B for a top page of book B
  dbCID                short DEFAULT 0,          -- 1 when the page has child pages, else 0
  dbBookID             long,                     -- qvAuthBook.ID
  dbPageLevel          short DEFAULT 1,          -- depth; top pages are at level 1
  dbOrder              short DEFAULT 0,          -- order among siblings
  dbType               short DEFAULT 0,          -- page type; media and record type in qvmedia, qvlibrary
  dbIndent             short DEFAULT 0,          -- extra indentation in contents lists
  dbOwnerID            text(50),
  dbGroup              short DEFAULT 0,          -- access level needed to read the page
  dbUserID             text(50),                 -- who changed the page last
  dbDate               datetime,                 -- last change
  dbExpiredDate        datetime,
  dbEventDate          datetime,
  dbTitle_e            text(255),
  dbTitle_n            text(255),
  dbKeyword_e          text(255),
  dbKeyword_n          text(255),
  dbContent_e          memo,
  dbContent_n          memo,
  dbRemark_e           memo,
  dbRemark_n           memo,
  dbFinished_e         yesno DEFAULT false,
  dbFinished_n         yesno DEFAULT false,
  dbThumbNail          short DEFAULT 0,          -- 0 none, 1 GIF, 2 JPG, 3 JPEG thumbnail file
  dbURLLink            text(255),                -- external link instead of the page itself
  dbAuthor_e           text(255),                -- catalogue fields from here on
  dbAuthor_n           text(255),
  dbSource_e           text(255),
  dbSource_n           text(255),
  dbAbstract_e         memo,
  dbAbstract_n         memo,
  dbISBN_ISSN          text(50),
  dbPages              text(50),
  dbYear               short,
  dbLanguage           text(255),                -- several languages joined by comma and blank
  dbAffiliationAddress memo,
  Stamp                text(50)                  -- user id and time of the last write-back
);

CREATE INDEX qvbook_Tree ON qvbook (dbPID, dbOrder, ID);
CREATE INDEX qvbook_Book ON qvbook (dbBookID);

-- qvglossary: glossary entries and help texts.
CREATE TABLE qvglossary (
  ID                   counter,
  dbPID                long,                     -- parent page; -B for a top page of book B
  dbCID                short DEFAULT 0,          -- 1 when the page has child pages, else 0
  dbBookID             long,                     -- qvAuthBook.ID
  dbPageLevel          short DEFAULT 1,          -- depth; top pages are at level 1
  dbOrder              short DEFAULT 0,          -- order among siblings
  dbType               short DEFAULT 0,          -- page type; media and record type in qvmedia, qvlibrary
  dbIndent             short DEFAULT 0,          -- extra indentation in contents lists
  dbOwnerID            text(50),
  dbGroup              short DEFAULT 0,          -- access level needed to read the page
  dbUserID             text(50),                 -- who changed the page last
  dbDate               datetime,                 -- last change
  dbExpiredDate        datetime,
  dbEventDate          datetime,
  dbTitle_e            text(255),
  dbTitle_n            text(255),
  dbKeyword_e          text(255),
  dbKeyword_n          text(255),
  dbContent_e          memo,
  dbContent_n          memo,
  dbRemark_e           memo,
  dbRemark_n           memo,
  dbFinished_e         yesno DEFAULT false,
  dbFinished_n         yesno DEFAULT false,
  dbThumbNail          short DEFAULT 0,          -- 0 none, 1 GIF, 2 JPG, 3 JPEG thumbnail file
  dbURLLink            text(255),                -- external link instead of the page itself
  dbAuthor_e           text(255),                -- catalogue fields from here on
  dbAuthor_n           text(255),
  dbSource_e           text(255),
  dbSource_n           text(255),
  dbAbstract_e         memo,
  dbAbstract_n         memo,
  dbISBN_ISSN          text(50),
  dbPages              text(50),
  dbYear               short,
  dbLanguage           text(255),                -- several languages joined by comma and blank
  dbAffiliationAddress memo,
  Stamp                text(50)                  -- user id and time of the last write-back
);

CREATE INDEX qvglossary_Tree ON qvglossary (dbPID, dbOrder, ID);
CREATE INDEX qvglossary_Book ON qvglossary (dbBookID);
CREATE INDEX qvglossary_Keyword ON qvglossary (dbBookID, dbKeyword_e);

-- qvmedia: media pages, placed into other pages by <qvTm.Media(id)>.
CREATE TABLE qvmedia (
  ID                   counter,
  dbPID                long,                     -- parent page; -B for a top page of book B
  dbCID                short DEFAULT 0,          -- 1 when the page has child pages, else 0
  dbBookID             long,                     -- qvAuthBook.ID
  dbPageLevel          short DEFAULT 1,          -- depth; top pages are at level 1
  dbOrder              short DEFAULT 0,          -- order among siblings
  dbType               short DEFAULT 0,          -- page type; media and record type in qvmedia, qvlibrary
  dbIndent             short DEFAULT 0,          -- extra indentation in contents lists
  dbOwnerID            text(50),
  dbGroup              short DEFAULT 0,          -- access level needed to read the page
  dbUserID             text(50),                 -- who changed the page last
  dbDate               datetime,                 -- last change
  dbExpiredDate        datetime,
  dbEventDate          datetime,
  dbTitle_e            text(255),
  dbTitle_n            text(255),
  dbKeyword_e          text(255),
  dbKeyword_n          text(255),
  dbContent_e          memo,
  dbContent_n          memo,
  dbRemark_e           memo,
  dbRemark_n           memo,
  dbFinished_e         yesno DEFAULT false,
  dbFinished_n         yesno DEFAULT false,
  dbThumbNail          short DEFAULT 0,          -- 0 none, 1 GIF, 2 JPG, 3 JPEG thumbnail file
  dbURLLink            text(255),                -- external link instead of the page itself
  dbAuthor_e           text(255),                -- catalogue fields from here on
  dbAuthor_n           text(255),
  dbSource_e           text(255),
  dbSource_n           text(255),
  dbAbstract_e         memo,
  dbAbstract_n         memo,
  dbISBN_ISSN          text(50),
  dbPages              text(50),
  dbYear               short,
  dbLanguage           text(255),                -- several languages joined by comma and blank
  dbAffiliationAddress memo,
  Stamp                text(50)                  -- user id and time of the last write-back
);

CREATE INDEX qvmedia_Tree ON qvmedia (dbPID, dbOrder, ID);
CREATE INDEX qvmedia_Book ON qvmedia (dbBookID);

-- qvlibrary: library catalogue: one record per leaf page.
CREATE TABLE qvlibrary (
  ID                   counter,
  dbPID                long,                     -- parent page; -B for a top page of book B
  dbCID                short DEFAULT 0,          -- 1 when the page has child pages, else 0
  dbBookID             long,                     -- qvAuthBook.ID
  dbPageLevel          short DEFAULT 1,          -- depth; top pages are at level 1
  dbOrder              short DEFAULT 0,          -- order among siblings
  dbType               short DEFAULT 0,          -- page type; media and record type in qvmedia, qvlibrary
  dbIndent             short DEFAULT 0,          -- extra indentation in contents lists
  dbOwnerID            text(50),
  dbGroup              short DEFAULT 0,          -- access level needed to read the page
  dbUserID             text(50),                 -- who changed the page last
  dbDate               datetime,                 -- last change
  dbExpiredDate        datetime,
  dbEventDate          datetime,
  dbTitle_e            text(255),
  dbTitle_n            text(255),
  dbKeyword_e          text(255),
  dbKeyword_n          text(255),
  dbContent_e          memo,
  dbContent_n          memo,
  dbRemark_e           memo,
  dbRemark_n           memo,
  dbFinished_e         yesno DEFAULT false,
  dbFinished_n         yesno DEFAULT false,
  dbThumbNail          short DEFAULT 0,          -- 0 none, 1 GIF, 2 JPG, 3 JPEG thumbnail file
  dbURLLink            text(255),                -- external link instead of the page itself
  dbAuthor_e           text(255),                -- catalogue fields from here on
  dbAuthor_n           text(255),
  dbSource_e           text(255),
  dbSource_n           text(255),
  dbAbstract_e         memo,
  dbAbstract_n         memo,
  dbISBN_ISSN          text(50),
  dbPages              text(50),
  dbYear               short,
  dbLanguage           text(255),                -- several languages joined by comma and blank
  dbAffiliationAddress memo,
  Stamp                text(50)                  -- user id and time of the last write-back
);

CREATE INDEX qvlibrary_Tree ON qvlibrary (dbPID, dbOrder, ID);
CREATE INDEX qvlibrary_Book ON qvlibrary (dbBookID);

-- Submission tables, one per book table, named after it with "_":
-- assignment submissions and personal notes (dbQID, dbUserID) and, for
-- the library, the holdings of a catalogue page (dbBID).

CREATE TABLE qvbook_ (
  ID           counter,
  dbQID        long,                             -- the assignment or annotated page
  dbBookID     long,
  dbUserID     text(50),                         -- the client address for anonymous submissions
  dbAnswer     memo,                             -- posted answer form
  dbComment    memo,                             -- posted marking form
  dbStatus     short DEFAULT 0,
  dbMark       text(50),
  dbScore      single DEFAULT 0,
  dbSubmitDate datetime,
  dbNotes      memo,                             -- personal note, or the notes of a holding
  dbBID        long,                             -- library holdings from here on: the catalogue page
  dbOwnerID    text(50),                         -- holder
  dbCallNo     text(50),
  dbBorrowerID text(50),                         -- borrower, or _not_borrow_
  dbBorrowDate datetime,
  Stamp        text(50)
);

CREATE INDEX qvbook__Submitter ON qvbook_ (dbQID, dbUserID);
CREATE INDEX qvbook__Holding ON qvbook_ (dbBID, dbOwnerID);

CREATE TABLE qvglossary_ (
  ID           counter,
  dbQID        long,                             -- the assignment or annotated page
  dbBookID     long,
  dbUserID     text(50),                         -- the client address for anonymous submissions
  dbAnswer     memo,                             -- posted answer form
  dbComment    memo,                             -- posted marking form
  dbStatus     short DEFAULT 0,
  dbMark       text(50),
  dbScore      single DEFAULT 0,
  dbSubmitDate datetime,
  dbNotes      memo,                             -- personal note, or the notes of a holding
  dbBID        long,                             -- library holdings from here on: the catalogue page
  dbOwnerID    text(50),                         -- holder
  dbCallNo     text(50),
  dbBorrowerID text(50),                         -- borrower, or _not_borrow_
  dbBorrowDate datetime,
  Stamp        text(50)
);

CREATE INDEX qvglossary__Submitter ON qvglossary_ (dbQID, dbUserID);
CREATE INDEX qvglossary__Holding ON qvglossary_ (dbBID, dbOwnerID);

CREATE TABLE qvmedia_ (
  ID           counter,
  dbQID        long,                             -- the assignment or annotated page
  dbBookID     long,
  dbUserID     text(50),                         -- the client address for anonymous submissions
  dbAnswer     memo,                             -- posted answer form
  dbComment    memo,                             -- posted marking form
  dbStatus     short DEFAULT 0,
  dbMark       text(50),
  dbScore      single DEFAULT 0,
  dbSubmitDate datetime,
  dbNotes      memo,                             -- personal note, or the notes of a holding
  dbBID        long,                             -- library holdings from here on: the catalogue page
  dbOwnerID    text(50),                         -- holder
  dbCallNo     text(50),
  dbBorrowerID text(50),                         -- borrower, or _not_borrow_
  dbBorrowDate datetime,
  Stamp        text(50)
);

CREATE INDEX qvmedia__Submitter ON qvmedia_ (dbQID, dbUserID);
CREATE INDEX qvmedia__Holding ON qvmedia_ (dbBID, dbOwnerID);

CREATE TABLE qvlibrary_ (
  ID           counter,
  dbQID        long,                             -- the assignment or annotated page
  dbBookID     long,
  dbUserID     text(50),                         -- the client address for anonymous submissions
  dbAnswer     memo,                             -- posted answer form
  dbComment    memo,                             -- posted marking form
  dbStatus     short DEFAULT 0,
  dbMark       text(50),
  dbScore      single DEFAULT 0,
  dbSubmitDate datetime,
  dbNotes      memo,                             -- personal note, or the notes of a holding
  dbBID        long,                             -- library holdings from here on: the catalogue page
  dbOwnerID    text(50),                         -- holder
  dbCallNo     text(50),
  dbBorrowerID text(50),                         -- borrower, or _not_borrow_
  dbBorrowDate datetime,
  Stamp        text(50)
);

CREATE INDEX qvlibrary__Submitter ON qvlibrary_ (dbQID, dbUserID);
CREATE INDEX qvlibrary__Holding ON qvlibrary_ (dbBID, dbOwnerID);

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

-- Change counters: triggers count every change of a table, whoever writes
-- it, so a copy of the table kept in memory (the message cache) is known to
-- be current while its counter stands still.
CREATE TABLE qvChangeCounter (ID counter, dbTable text(64) NOT NULL, dbCount long NOT NULL DEFAULT 0);
CREATE UNIQUE INDEX qvChangeCounter_table ON qvChangeCounter (dbTable);
-- A random start, so a database made anew never repeats a count of the old one.
INSERT INTO qvChangeCounter (dbTable, dbCount) VALUES ('qvsystemmsg', abs(random() % 1000000000000));
CREATE TRIGGER qvSystemMsg_counted_insert AFTER INSERT ON qvSystemMsg BEGIN UPDATE qvChangeCounter SET dbCount = dbCount + 1 WHERE dbTable = 'qvsystemmsg'; END;
CREATE TRIGGER qvSystemMsg_counted_update AFTER UPDATE ON qvSystemMsg BEGIN UPDATE qvChangeCounter SET dbCount = dbCount + 1 WHERE dbTable = 'qvsystemmsg'; END;
CREATE TRIGGER qvSystemMsg_counted_delete AFTER DELETE ON qvSystemMsg BEGIN UPDATE qvChangeCounter SET dbCount = dbCount + 1 WHERE dbTable = 'qvsystemmsg'; END;
-- The cached tables: registry, users and groups, code tables, book tables
-- (book tables made later are counted when they are made).
INSERT INTO qvChangeCounter (dbTable, dbCount) SELECT 'qvauthbook', abs(random() % 1000000000000) WHERE NOT EXISTS (SELECT ID FROM qvChangeCounter WHERE dbTable = 'qvauthbook');
CREATE TRIGGER qvAuthBook_counted_insert AFTER INSERT ON qvAuthBook BEGIN UPDATE qvChangeCounter SET dbCount = dbCount + 1 WHERE dbTable = 'qvauthbook'; END;
CREATE TRIGGER qvAuthBook_counted_update AFTER UPDATE ON qvAuthBook BEGIN UPDATE qvChangeCounter SET dbCount = dbCount + 1 WHERE dbTable = 'qvauthbook'; END;
CREATE TRIGGER qvAuthBook_counted_delete AFTER DELETE ON qvAuthBook BEGIN UPDATE qvChangeCounter SET dbCount = dbCount + 1 WHERE dbTable = 'qvauthbook'; END;
INSERT INTO qvChangeCounter (dbTable, dbCount) SELECT 'qvauthuser', abs(random() % 1000000000000) WHERE NOT EXISTS (SELECT ID FROM qvChangeCounter WHERE dbTable = 'qvauthuser');
CREATE TRIGGER qvAuthUser_counted_insert AFTER INSERT ON qvAuthUser BEGIN UPDATE qvChangeCounter SET dbCount = dbCount + 1 WHERE dbTable = 'qvauthuser'; END;
CREATE TRIGGER qvAuthUser_counted_update AFTER UPDATE ON qvAuthUser BEGIN UPDATE qvChangeCounter SET dbCount = dbCount + 1 WHERE dbTable = 'qvauthuser'; END;
CREATE TRIGGER qvAuthUser_counted_delete AFTER DELETE ON qvAuthUser BEGIN UPDATE qvChangeCounter SET dbCount = dbCount + 1 WHERE dbTable = 'qvauthuser'; END;
INSERT INTO qvChangeCounter (dbTable, dbCount) SELECT 'qvauthgroup', abs(random() % 1000000000000) WHERE NOT EXISTS (SELECT ID FROM qvChangeCounter WHERE dbTable = 'qvauthgroup');
CREATE TRIGGER qvAuthGroup_counted_insert AFTER INSERT ON qvAuthGroup BEGIN UPDATE qvChangeCounter SET dbCount = dbCount + 1 WHERE dbTable = 'qvauthgroup'; END;
CREATE TRIGGER qvAuthGroup_counted_update AFTER UPDATE ON qvAuthGroup BEGIN UPDATE qvChangeCounter SET dbCount = dbCount + 1 WHERE dbTable = 'qvauthgroup'; END;
CREATE TRIGGER qvAuthGroup_counted_delete AFTER DELETE ON qvAuthGroup BEGIN UPDATE qvChangeCounter SET dbCount = dbCount + 1 WHERE dbTable = 'qvauthgroup'; END;
INSERT INTO qvChangeCounter (dbTable, dbCount) SELECT 'qvcodedeflist', abs(random() % 1000000000000) WHERE NOT EXISTS (SELECT ID FROM qvChangeCounter WHERE dbTable = 'qvcodedeflist');
CREATE TRIGGER qvCodeDefList_counted_insert AFTER INSERT ON qvCodeDefList BEGIN UPDATE qvChangeCounter SET dbCount = dbCount + 1 WHERE dbTable = 'qvcodedeflist'; END;
CREATE TRIGGER qvCodeDefList_counted_update AFTER UPDATE ON qvCodeDefList BEGIN UPDATE qvChangeCounter SET dbCount = dbCount + 1 WHERE dbTable = 'qvcodedeflist'; END;
CREATE TRIGGER qvCodeDefList_counted_delete AFTER DELETE ON qvCodeDefList BEGIN UPDATE qvChangeCounter SET dbCount = dbCount + 1 WHERE dbTable = 'qvcodedeflist'; END;
INSERT INTO qvChangeCounter (dbTable, dbCount) SELECT 'qvbook', abs(random() % 1000000000000) WHERE NOT EXISTS (SELECT ID FROM qvChangeCounter WHERE dbTable = 'qvbook');
CREATE TRIGGER qvbook_counted_insert AFTER INSERT ON qvbook BEGIN UPDATE qvChangeCounter SET dbCount = dbCount + 1 WHERE dbTable = 'qvbook'; END;
CREATE TRIGGER qvbook_counted_update AFTER UPDATE ON qvbook BEGIN UPDATE qvChangeCounter SET dbCount = dbCount + 1 WHERE dbTable = 'qvbook'; END;
CREATE TRIGGER qvbook_counted_delete AFTER DELETE ON qvbook BEGIN UPDATE qvChangeCounter SET dbCount = dbCount + 1 WHERE dbTable = 'qvbook'; END;
INSERT INTO qvChangeCounter (dbTable, dbCount) SELECT 'qvglossary', abs(random() % 1000000000000) WHERE NOT EXISTS (SELECT ID FROM qvChangeCounter WHERE dbTable = 'qvglossary');
CREATE TRIGGER qvglossary_counted_insert AFTER INSERT ON qvglossary BEGIN UPDATE qvChangeCounter SET dbCount = dbCount + 1 WHERE dbTable = 'qvglossary'; END;
CREATE TRIGGER qvglossary_counted_update AFTER UPDATE ON qvglossary BEGIN UPDATE qvChangeCounter SET dbCount = dbCount + 1 WHERE dbTable = 'qvglossary'; END;
CREATE TRIGGER qvglossary_counted_delete AFTER DELETE ON qvglossary BEGIN UPDATE qvChangeCounter SET dbCount = dbCount + 1 WHERE dbTable = 'qvglossary'; END;
INSERT INTO qvChangeCounter (dbTable, dbCount) SELECT 'qvmedia', abs(random() % 1000000000000) WHERE NOT EXISTS (SELECT ID FROM qvChangeCounter WHERE dbTable = 'qvmedia');
CREATE TRIGGER qvmedia_counted_insert AFTER INSERT ON qvmedia BEGIN UPDATE qvChangeCounter SET dbCount = dbCount + 1 WHERE dbTable = 'qvmedia'; END;
CREATE TRIGGER qvmedia_counted_update AFTER UPDATE ON qvmedia BEGIN UPDATE qvChangeCounter SET dbCount = dbCount + 1 WHERE dbTable = 'qvmedia'; END;
CREATE TRIGGER qvmedia_counted_delete AFTER DELETE ON qvmedia BEGIN UPDATE qvChangeCounter SET dbCount = dbCount + 1 WHERE dbTable = 'qvmedia'; END;
INSERT INTO qvChangeCounter (dbTable, dbCount) SELECT 'qvlibrary', abs(random() % 1000000000000) WHERE NOT EXISTS (SELECT ID FROM qvChangeCounter WHERE dbTable = 'qvlibrary');
CREATE TRIGGER qvlibrary_counted_insert AFTER INSERT ON qvlibrary BEGIN UPDATE qvChangeCounter SET dbCount = dbCount + 1 WHERE dbTable = 'qvlibrary'; END;
CREATE TRIGGER qvlibrary_counted_update AFTER UPDATE ON qvlibrary BEGIN UPDATE qvChangeCounter SET dbCount = dbCount + 1 WHERE dbTable = 'qvlibrary'; END;
CREATE TRIGGER qvlibrary_counted_delete AFTER DELETE ON qvlibrary BEGIN UPDATE qvChangeCounter SET dbCount = dbCount + 1 WHERE dbTable = 'qvlibrary'; END;
