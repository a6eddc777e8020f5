-- The message that refuses a holding whose holder or borrower is not a
-- user. A placeholder row that a page made for the missing key takes the
-- texts; a row an administrator has written stays as it is.
UPDATE qvSystemMsg SET dbMsg_e = '<p class="qvError">The holding was not saved: the holder and the borrower must be users of this system.</p>', dbMsg_n = '<p class="qvError">Het exemplaar is niet opgeslagen: de houder en de lener moeten gebruikers van dit systeem zijn.</p>', dbOrder = 322
  WHERE dbName = 'ErrorHoldingNoUser' AND lower(dbMsg_e) = 'errorholdingnouser_e'
  AND lower(dbMsg_n) = 'errorholdingnouser_n';
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder)
  SELECT 'ErrorHoldingNoUser', '<p class="qvError">The holding was not saved: the holder and the borrower must be users of this system.</p>', '<p class="qvError">Het exemplaar is niet opgeslagen: de houder en de lener moeten gebruikers van dit systeem zijn.</p>', 322
  WHERE NOT EXISTS (SELECT ID FROM qvSystemMsg WHERE dbName = 'ErrorHoldingNoUser');
