-- The messages of the user and group pages and of a password that cannot
-- be stored. A placeholder row that a page made for a missing key takes the
-- texts; a row an administrator has written stays as it is.
UPDATE qvSystemMsg SET dbMsg_e = '<p class="qvError">A password has 1 to 26 characters and no control characters; nothing was saved.</p>', dbMsg_n = '<p class="qvError">Een wachtwoord heeft 1 tot 26 tekens en geen stuurtekens; er is niets opgeslagen.</p>', dbOrder = 512
  WHERE dbName = 'ErrorPasswordInvalid' AND lower(dbMsg_e) = 'errorpasswordinvalid_e'
  AND lower(dbMsg_n) = 'errorpasswordinvalid_n';
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder)
  SELECT 'ErrorPasswordInvalid', '<p class="qvError">A password has 1 to 26 characters and no control characters; nothing was saved.</p>', '<p class="qvError">Een wachtwoord heeft 1 tot 26 tekens en geen stuurtekens; er is niets opgeslagen.</p>', 512
  WHERE NOT EXISTS (SELECT ID FROM qvSystemMsg WHERE dbName = 'ErrorPasswordInvalid');
UPDATE qvSystemMsg SET dbMsg_e = 'Network login name', dbMsg_n = 'Aanmeldnaam op het netwerk', dbOrder = 843
  WHERE dbName = 'dbLANUserID' AND lower(dbMsg_e) = 'dblanuserid_e'
  AND lower(dbMsg_n) = 'dblanuserid_n';
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder)
  SELECT 'dbLANUserID', 'Network login name', 'Aanmeldnaam op het netwerk', 843
  WHERE NOT EXISTS (SELECT ID FROM qvSystemMsg WHERE dbName = 'dbLANUserID');
UPDATE qvSystemMsg SET dbMsg_e = 'Users', dbMsg_n = 'Gebruikers', dbOrder = 1026
  WHERE dbName = 'SiteUsersTitle' AND lower(dbMsg_e) = 'siteuserstitle_e'
  AND lower(dbMsg_n) = 'siteuserstitle_n';
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder)
  SELECT 'SiteUsersTitle', 'Users', 'Gebruikers', 1026
  WHERE NOT EXISTS (SELECT ID FROM qvSystemMsg WHERE dbName = 'SiteUsersTitle');
UPDATE qvSystemMsg SET dbMsg_e = 'Groups', dbMsg_n = 'Groepen', dbOrder = 1027
  WHERE dbName = 'SiteGroupsTitle' AND lower(dbMsg_e) = 'sitegroupstitle_e'
  AND lower(dbMsg_n) = 'sitegroupstitle_n';
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder)
  SELECT 'SiteGroupsTitle', 'Groups', 'Groepen', 1027
  WHERE NOT EXISTS (SELECT ID FROM qvSystemMsg WHERE dbName = 'SiteGroupsTitle');
UPDATE qvSystemMsg SET dbMsg_e = 'My account', dbMsg_n = 'Mijn account', dbOrder = 1028
  WHERE dbName = 'SiteAccountTitle' AND lower(dbMsg_e) = 'siteaccounttitle_e'
  AND lower(dbMsg_n) = 'siteaccounttitle_n';
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder)
  SELECT 'SiteAccountTitle', 'My account', 'Mijn account', 1028
  WHERE NOT EXISTS (SELECT ID FROM qvSystemMsg WHERE dbName = 'SiteAccountTitle');
UPDATE qvSystemMsg SET dbMsg_e = 'New user', dbMsg_n = 'Nieuwe gebruiker', dbOrder = 1029
  WHERE dbName = 'SiteNewUser' AND lower(dbMsg_e) = 'sitenewuser_e'
  AND lower(dbMsg_n) = 'sitenewuser_n';
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder)
  SELECT 'SiteNewUser', 'New user', 'Nieuwe gebruiker', 1029
  WHERE NOT EXISTS (SELECT ID FROM qvSystemMsg WHERE dbName = 'SiteNewUser');
UPDATE qvSystemMsg SET dbMsg_e = 'All users', dbMsg_n = 'Alle gebruikers', dbOrder = 1030
  WHERE dbName = 'SiteAllUsers' AND lower(dbMsg_e) = 'siteallusers_e'
  AND lower(dbMsg_n) = 'siteallusers_n';
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder)
  SELECT 'SiteAllUsers', 'All users', 'Alle gebruikers', 1030
  WHERE NOT EXISTS (SELECT ID FROM qvSystemMsg WHERE dbName = 'SiteAllUsers');
