-- The messages of the assignment pages: marking and the work of others
-- need the book's assignment right; submissions and notes need a login.
-- A placeholder row that a page made for a missing key takes the texts; a
-- row an administrator has written stays as it is.
UPDATE qvSystemMsg SET dbMsg_e = '<p class="qvError">Only the teachers of this book may see and mark the work of others.</p>', dbMsg_n = '<p class="qvError">Alleen de docenten van dit boek mogen het werk van anderen inzien en nakijken.</p>', dbOrder = 622
  WHERE dbName = 'ErrorAuthNoMark' AND lower(dbMsg_e) = 'errorauthnomark_e'
  AND lower(dbMsg_n) = 'errorauthnomark_n';
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder)
  SELECT 'ErrorAuthNoMark', '<p class="qvError">Only the teachers of this book may see and mark the work of others.</p>', '<p class="qvError">Alleen de docenten van dit boek mogen het werk van anderen inzien en nakijken.</p>', 622
  WHERE NOT EXISTS (SELECT ID FROM qvSystemMsg WHERE dbName = 'ErrorAuthNoMark');
UPDATE qvSystemMsg SET dbMsg_e = '<p class="qvError">Please log in first: your work and notes are kept under your name.</p>', dbMsg_n = '<p class="qvError">Meld u eerst aan: uw werk en notities worden onder uw naam bewaard.</p>', dbOrder = 623
  WHERE dbName = 'ErrorLoginToSubmit' AND lower(dbMsg_e) = 'errorlogintosubmit_e'
  AND lower(dbMsg_n) = 'errorlogintosubmit_n';
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder)
  SELECT 'ErrorLoginToSubmit', '<p class="qvError">Please log in first: your work and notes are kept under your name.</p>', '<p class="qvError">Meld u eerst aan: uw werk en notities worden onder uw naam bewaard.</p>', 623
  WHERE NOT EXISTS (SELECT ID FROM qvSystemMsg WHERE dbName = 'ErrorLoginToSubmit');
