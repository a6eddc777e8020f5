-- The book registry's refusal of a table that is no book table, and the
-- site's book administration and library holder pages. A key a site
-- already has (a placeholder a page made, or its own text) stays as it is.
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder)
  SELECT 'ErrorBookTable', '<p class="qvError">This is not a book table of this site; nothing was saved.</p>', '<p class="qvError">Dit is geen boektabel van deze site; er is niets opgeslagen.</p>', 560
  WHERE NOT EXISTS (SELECT ID FROM qvSystemMsg WHERE dbName = 'ErrorBookTable');
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder)
  SELECT 'SiteBookAdminTitle', 'Book administration', 'Boekenbeheer', 1040
  WHERE NOT EXISTS (SELECT ID FROM qvSystemMsg WHERE dbName = 'SiteBookAdminTitle');
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder)
  SELECT 'SiteBookTables', 'Book tables', 'Boektabellen', 1041
  WHERE NOT EXISTS (SELECT ID FROM qvSystemMsg WHERE dbName = 'SiteBookTables');
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder)
  SELECT 'SiteBookAdminChoose', '<p>Choose a book table to see its books, then a book to change its settings.</p>', '<p>Kies een boektabel om de boeken ervan te zien, en dan een boek om de instellingen ervan te wijzigen.</p>', 1042
  WHERE NOT EXISTS (SELECT ID FROM qvSystemMsg WHERE dbName = 'SiteBookAdminChoose');
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder)
  SELECT 'SiteNewBook', 'New book', 'Nieuw boek', 1043
  WHERE NOT EXISTS (SELECT ID FROM qvSystemMsg WHERE dbName = 'SiteNewBook');
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder)
  SELECT 'SiteOpenBook', 'Open the book', 'Het boek openen', 1044
  WHERE NOT EXISTS (SELECT ID FROM qvSystemMsg WHERE dbName = 'SiteOpenBook');
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder)
  SELECT 'SiteLibOwnerTitle', 'Contact the holder', 'Contact met de houder', 1045
  WHERE NOT EXISTS (SELECT ID FROM qvSystemMsg WHERE dbName = 'SiteLibOwnerTitle');
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder)
  SELECT 'SiteLibOwnerLogin', '<p>Please log in to see how to reach the holder of this copy.</p>', '<p>Meld u aan om te zien hoe u de houder van dit exemplaar bereikt.</p>', 1046
  WHERE NOT EXISTS (SELECT ID FROM qvSystemMsg WHERE dbName = 'SiteLibOwnerLogin');
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder)
  SELECT 'SiteLibOwnerNotFound', '<p class="qvError">There is no such copy in the library.</p>', '<p class="qvError">Dit exemplaar bestaat niet in de bibliotheek.</p>', 1047
  WHERE NOT EXISTS (SELECT ID FROM qvSystemMsg WHERE dbName = 'SiteLibOwnerNotFound');
