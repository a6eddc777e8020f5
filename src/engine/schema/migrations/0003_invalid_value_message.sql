-- The message that a page save gets for a value it cannot take (a number
-- of days that is not a whole number, a book that is not one of this
-- table's). A placeholder row that a page made for the missing key takes
-- the texts; a row an administrator has written stays as it is.
UPDATE qvSystemMsg SET dbMsg_e = '<p class="qvError">A value you entered is not valid here; nothing was saved.</p>', dbMsg_n = '<p class="qvError">Een ingevulde waarde is hier niet geldig; er is niets opgeslagen.</p>', dbOrder = 324
  WHERE dbName = 'ErrorInvalidValue' AND lower(dbMsg_e) = 'errorinvalidvalue_e'
  AND lower(dbMsg_n) = 'errorinvalidvalue_n';
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder)
  SELECT 'ErrorInvalidValue', '<p class="qvError">A value you entered is not valid here; nothing was saved.</p>', '<p class="qvError">Een ingevulde waarde is hier niet geldig; er is niets opgeslagen.</p>', 324
  WHERE NOT EXISTS (SELECT ID FROM qvSystemMsg WHERE dbName = 'ErrorInvalidValue');
