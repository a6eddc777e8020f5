-- The message that a request for a function of a module not built yet
-- gets. A placeholder row that a page made for the missing key takes the
-- texts; a row an administrator has written stays as it is.
UPDATE qvSystemMsg SET dbMsg_e = '<p class="qvError">This function is not available on this site yet.</p>', dbMsg_n = '<p class="qvError">Deze functie is op deze site nog niet beschikbaar.</p>', dbOrder = 323
  WHERE dbName = 'ErrorNotAvailable' AND lower(dbMsg_e) = 'errornotavailable_e'
  AND lower(dbMsg_n) = 'errornotavailable_n';
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder)
  SELECT 'ErrorNotAvailable', '<p class="qvError">This function is not available on this site yet.</p>', '<p class="qvError">Deze functie is op deze site nog niet beschikbaar.</p>', 323
  WHERE NOT EXISTS (SELECT ID FROM qvSystemMsg WHERE dbName = 'ErrorNotAvailable');
