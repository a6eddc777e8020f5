-- Change counters of the tables whose rows the server caches: the book
-- registry, users and groups, code tables and the book tables. Book tables
-- made later are counted when they are made.
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
