-- The forgot-password page: its title and link, the request for the user
-- ID, and the one answer every request gets. A placeholder row that a
-- page made for a missing key takes the texts; a row an administrator
-- has written stays as it is.
UPDATE qvSystemMsg SET dbMsg_e = 'Forgot your password?', dbMsg_n = 'Wachtwoord vergeten?', dbOrder = 582
  WHERE dbName = 'SiteForgotPassword' AND lower(dbMsg_e) = 'siteforgotpassword_e'
  AND lower(dbMsg_n) = 'siteforgotpassword_n';
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder)
  SELECT 'SiteForgotPassword', 'Forgot your password?', 'Wachtwoord vergeten?', 582
  WHERE NOT EXISTS (SELECT ID FROM qvSystemMsg WHERE dbName = 'SiteForgotPassword');
UPDATE qvSystemMsg SET dbMsg_e = '<p>Enter your user ID. We will send your password to the e-mail address of your account.</p>', dbMsg_n = '<p>Vul uw gebruikersnaam in. Wij sturen uw wachtwoord naar het e-mailadres van uw account.</p>', dbOrder = 583
  WHERE dbName = 'SitePasswordAsk' AND lower(dbMsg_e) = 'sitepasswordask_e'
  AND lower(dbMsg_n) = 'sitepasswordask_n';
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder)
  SELECT 'SitePasswordAsk', '<p>Enter your user ID. We will send your password to the e-mail address of your account.</p>', '<p>Vul uw gebruikersnaam in. Wij sturen uw wachtwoord naar het e-mailadres van uw account.</p>', 583
  WHERE NOT EXISTS (SELECT ID FROM qvSystemMsg WHERE dbName = 'SitePasswordAsk');
UPDATE qvSystemMsg SET dbMsg_e = 'Send my password', dbMsg_n = 'Stuur mijn wachtwoord', dbOrder = 584
  WHERE dbName = 'SitePasswordSend' AND lower(dbMsg_e) = 'sitepasswordsend_e'
  AND lower(dbMsg_n) = 'sitepasswordsend_n';
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder)
  SELECT 'SitePasswordSend', 'Send my password', 'Stuur mijn wachtwoord', 584
  WHERE NOT EXISTS (SELECT ID FROM qvSystemMsg WHERE dbName = 'SitePasswordSend');
UPDATE qvSystemMsg SET dbMsg_e = '<p class="qvNotice">If this user ID belongs to an active account with an e-mail address, its password is on its way to that address. Nothing arrived after a while? Please ask the administrator of this site.</p>', dbMsg_n = '<p class="qvNotice">Als deze gebruikersnaam hoort bij een actief account met een e-mailadres, is het wachtwoord onderweg naar dat adres. Na een tijdje nog niets ontvangen? Vraag het dan aan de beheerder van deze site.</p>', dbOrder = 585
  WHERE dbName = 'SitePasswordSent' AND lower(dbMsg_e) = 'sitepasswordsent_e'
  AND lower(dbMsg_n) = 'sitepasswordsent_n';
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder)
  SELECT 'SitePasswordSent', '<p class="qvNotice">If this user ID belongs to an active account with an e-mail address, its password is on its way to that address. Nothing arrived after a while? Please ask the administrator of this site.</p>', '<p class="qvNotice">Als deze gebruikersnaam hoort bij een actief account met een e-mailadres, is het wachtwoord onderweg naar dat adres. Na een tijdje nog niets ontvangen? Vraag het dan aan de beheerder van deze site.</p>', 585
  WHERE NOT EXISTS (SELECT ID FROM qvSystemMsg WHERE dbName = 'SitePasswordSent');
UPDATE qvSystemMsg SET dbMsg_e = '<p class="qvError">Please enter your user ID.</p>', dbMsg_n = '<p class="qvError">Vul uw gebruikersnaam in.</p>', dbOrder = 586
  WHERE dbName = 'SitePasswordNoID' AND lower(dbMsg_e) = 'sitepasswordnoid_e'
  AND lower(dbMsg_n) = 'sitepasswordnoid_n';
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder)
  SELECT 'SitePasswordNoID', '<p class="qvError">Please enter your user ID.</p>', '<p class="qvError">Vul uw gebruikersnaam in.</p>', 586
  WHERE NOT EXISTS (SELECT ID FROM qvSystemMsg WHERE dbName = 'SitePasswordNoID');
