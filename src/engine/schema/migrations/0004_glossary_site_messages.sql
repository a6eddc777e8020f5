-- The site's glossary window and help texts. A key a site already has
-- (a placeholder a page made, or its own text) stays as it is.
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder)
  SELECT 'SiteGlossaryTitle', 'Glossary', 'Woordenlijst', 1020
  WHERE NOT EXISTS (SELECT ID FROM qvSystemMsg WHERE dbName = 'SiteGlossaryTitle');
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder)
  SELECT 'SiteGlossaryRedirected', 'Redirected from', 'Doorverwezen vanaf', 1021
  WHERE NOT EXISTS (SELECT ID FROM qvSystemMsg WHERE dbName = 'SiteGlossaryRedirected');
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder)
  SELECT 'SiteGlossaryAll', 'All terms', 'Alle termen', 1022
  WHERE NOT EXISTS (SELECT ID FROM qvSystemMsg WHERE dbName = 'SiteGlossaryAll');
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder)
  SELECT 'SiteGlossaryChoose', '<p>Click a linked term in a page of a course to see what it means here, or read all terms.</p>', '<p>Klik op een gekoppelde term in een pagina van een cursus om hier te zien wat die betekent, of lees alle termen.</p>', 1023
  WHERE NOT EXISTS (SELECT ID FROM qvSystemMsg WHERE dbName = 'SiteGlossaryChoose');
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder)
  SELECT 'SiteHelp', 'Help', 'Hulp', 1024
  WHERE NOT EXISTS (SELECT ID FROM qvSystemMsg WHERE dbName = 'SiteHelp');
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder)
  SELECT 'SiteHelpNoEntry', '<p class="qvError">There is no help text with this code.</p>', '<p class="qvError">Er is geen helptekst met deze code.</p>', 1025
  WHERE NOT EXISTS (SELECT ID FROM qvSystemMsg WHERE dbName = 'SiteHelpNoEntry');
