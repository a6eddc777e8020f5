-- qvTome system messages: every text the system shows, by key, in English
-- (_e) and Dutch (_n). Keys compare without regard to case. dbOrder groups
-- the keys by subsystem. An empty text is meaningful: a command whose
-- Confirm text is empty asks no confirmation, and an empty link address
-- removes the link.

-- 100: System, version and record stamps
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('qvTome', '1.10', '1.10', 100);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('errorODBC', '<p class="qvError">The database is older than this version of qvTome or holds no system messages. Please upgrade the database.</p>', '<p class="qvError">De database is ouder dan deze versie van qvTome of bevat geen systeemberichten. Werk de database bij.</p>', 101);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErrorHasBeenChanged', '<br><span class="qvError">Your changes were not saved, because this record was changed in the meantime by</span> ', '<br><span class="qvError">Uw wijzigingen zijn niet opgeslagen, omdat dit record intussen is gewijzigd door</span> ', 102);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgAnonymousUserName', 'Anonymous', 'Anoniem', 103);

-- 150: Login form
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('LoginMsg', '<p>Please log in with your user ID and password.</p>', '<p>Meld u aan met uw gebruikersnaam en wachtwoord.</p>', 150);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('LoginFails', '<p class="qvError">Login failed: the user ID or password is not correct, or the account is no longer valid.</p>', '<p class="qvError">Aanmelden mislukt: de gebruikersnaam of het wachtwoord klopt niet, of het account is niet meer geldig.</p>', 151);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('LoginLANFails', '<p class="qvError">Login failed: your network account is not known to this site.</p>', '<p class="qvError">Aanmelden mislukt: uw netwerkaccount is bij deze site niet bekend.</p>', 152);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('LoginUserID', 'User ID', 'Gebruikersnaam', 153);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('LoginPassword', 'Password', 'Wachtwoord', 154);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('LoginSubmitButton', 'Log in', 'Aanmelden', 155);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('LoginCancelButton', 'Cancel', 'Annuleren', 156);

-- 200: Buttons
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ButtonSubmit', 'Save', 'Opslaan', 200);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ButtonReset', 'Reset', 'Herstellen', 201);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ButtonDelete', 'Delete', 'Verwijderen', 202);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ButtonUpload', 'Upload', 'Uploaden', 203);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ButtonUpdateGlossary', 'Update glossary links', 'Woordenlijstkoppelingen bijwerken', 204);

-- 300: Pages: opening, display, discussions, library
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErrorNoPage', '<br><span class="qvError">This page does not exist</span> ', '<br><span class="qvError">Deze pagina bestaat niet</span> ', 300);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErrorBookNotFound', '<p class="qvError">The book was not found.</p>', '<p class="qvError">Het boek is niet gevonden.</p>', 301);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErrorNoBook', '<p class="qvError">This page belongs to a book that is not registered.</p>', '<p class="qvError">Deze pagina hoort bij een boek dat niet is geregistreerd.</p>', 302);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErrorPageNotOpen', '<br><span class="qvError">No page has been opened for</span> ', '<br><span class="qvError">Er is geen pagina geopend voor</span> ', 303);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErrorAuthNoRead', '<p class="qvError">You are not allowed to see this.</p>', '<p class="qvError">U hebt geen toegang tot dit onderdeel.</p>', 304);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErrorAuthNoList', '<p class="qvError">You are not allowed to see the contents of this book.</p>', '<p class="qvError">U hebt geen toegang tot de inhoud van dit boek.</p>', 305);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgPageDeleted', 'The page has been deleted. Back to the page above.', 'De pagina is verwijderd. Terug naar de bovenliggende pagina.', 306);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgPagePasted', 'The page has been pasted.', 'De pagina is geplakt.', 307);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgPageNotFinished', '<i>This page is not finished yet.</i>', '<i>Deze pagina is nog niet af.</i>', 308);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgPageFoot', '<small>Made with qvTome</small>', '<small>Gemaakt met qvTome</small>', 309);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgEditCommand', '[edit]', '[bewerken]', 310);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('menuPostDiscussion', '[New topic] ', '[Nieuw onderwerp] ', 311);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('menuJoinDiscussion', '[Join the discussion] ', '[Meedoen aan de discussie] ', 312);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('menuReplyDiscussion', '[Reply] ', '[Reageren] ', 313);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('menuCommentDiscussion', '[Comment] ', '[Commentaar] ', 314);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgLibOwnerInfor', 'Contact the holder', 'Contact met de houder', 315);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgLibMaintain', '<hr><b>Maintain the holdings of this record</b><br>', '<hr><b>Vermeldingen van dit record bijhouden</b><br>', 316);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgLibAll', 'Register a holding for any holder:<br>', 'Een exemplaar registreren voor een willekeurige houder:<br>', 317);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgLibYourSelf', 'Register your own copy:<br>', 'Uw eigen exemplaar registreren:<br>', 318);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgNotBorrow', 'Not lent out', 'Niet uitgeleend', 319);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgDeleteBibOwner', ' Delete this holding', ' Deze vermelding verwijderen', 320);

-- 350: Command menu and confirmations
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('MenuUpdateGlossary', '[Glossary links] ', '[Woordenlijstkoppelingen] ', 350);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('menuEditCurrent', '[Edit] ', '[Bewerken] ', 351);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('menuAddBottom', '[Add page at the end] ', '[Pagina achteraan toevoegen] ', 352);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('menuAddBefore', '[Insert page before this one] ', '[Pagina hiervoor invoegen] ', 353);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('menuAddBelow', '[Add sub-page] ', '[Subpagina toevoegen] ', 354);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('menuCutCurrent', '[Cut] ', '[Knippen] ', 355);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('menuPasteCancel', '[Cancel paste] ', '[Plakken annuleren] ', 356);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('menuPasteBottom', '[Paste at the end] ', '[Achteraan plakken] ', 357);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('menuPasteBefore', '[Paste before this page] ', '[Voor deze pagina plakken] ', 358);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('MenuDelete', '[Delete] ', '[Verwijderen] ', 359);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('MenuUploadFiles', '[Media files] ', '[Mediabestanden] ', 360);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('MenuPageProperty', '[Properties] ', '[Eigenschappen] ', 361);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('MenuListAssignment', '[Submissions] ', '[Inzendingen] ', 362);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('MenuBookManagement', '[Book settings] ', '[Boekinstellingen] ', 363);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('menuPasteClipboard', 'Clipboard', 'Klembord', 364);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('MenuUpdateGlossaryConfirm', '', '', 365);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('menuEditCurrentConfirm', '', '', 366);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('menuAddBottomConfirm', '', '', 367);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('menuAddBeforeConfirm', '', '', 368);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('menuAddBelowConfirm', '', '', 369);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('menuCutCurrentConfirm', '', '', 370);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('menuPasteCancelConfirm', '', '', 371);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('menuPasteBottomConfirm', '', '', 372);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('menuPasteBeforeConfirm', '', '', 373);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('MenuDeleteConfirm', 'Do you really want to delete this page?', 'Wilt u deze pagina echt verwijderen?', 374);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('MenuPagePropertyConfirm', '', '', 375);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('MenuListAssignmentConfirm', '', '', 376);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('menuPostDiscussionConfirm', '', '', 377);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('menuJoinDiscussionConfirm', '', '', 378);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('menuReplyDiscussionConfirm', '', '', 379);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('menuCommentDiscussionConfirm', '', '', 380);

-- 400: Page operations
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErrorAuthNoUpdate', '<p class="qvError">You are not allowed to change this page.</p>', '<p class="qvError">U mag deze pagina niet wijzigen.</p>', 400);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErrorAuthNoAdd', '<p class="qvError">You are not allowed to add pages here.</p>', '<p class="qvError">U mag hier geen pagina''s toevoegen.</p>', 401);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErrorEmptyTitle', '<p class="qvError">Please enter a title.</p>', '<p class="qvError">Vul een titel in.</p>', 402);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErrorDuplicateTitle', '<p class="qvError">An entry with this title already exists in this book.</p>', '<p class="qvError">Er staat al een item met deze titel in dit boek.</p>', 403);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErrorAuthNoCut', '<p class="qvError">You are not allowed to move pages.</p>', '<p class="qvError">U mag geen pagina''s verplaatsen.</p>', 404);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErrorAuthNoPaste', '<p class="qvError">The page on the clipboard cannot be pasted here.</p>', '<p class="qvError">De pagina op het klembord kan hier niet worden geplakt.</p>', 405);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErrorCouldNotPaste', '<p class="qvError">The page on the clipboard no longer exists.</p>', '<p class="qvError">De pagina op het klembord bestaat niet meer.</p>', 406);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErrorCanNotDelete', '<p class="qvError">A page with sub-pages cannot be deleted. Delete its sub-pages first.</p>', '<p class="qvError">Een pagina met subpagina''s kan niet worden verwijderd. Verwijder eerst de subpagina''s.</p>', 407);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgRootPageCannotCutDelete', 'The only top page of a book cannot be deleted.', 'De enige bovenste pagina van een boek kan niet worden verwijderd.', 408);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgDuplicateTitleFound', 'There are already records with a similar title.', 'Er zijn al records met een vergelijkbare titel.', 409);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgAddDuplicateTitle', 'If your record is new all the same, click its title to add it:', 'Is uw record toch nieuw, klik dan op de titel om het toe te voegen:', 410);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgListOfDuplicatePages', 'Records with a similar title:', 'Records met een vergelijkbare titel:', 411);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgBlankSectionTitle', 'New section', 'Nieuwe sectie', 412);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgBlankPageTitle', 'New page', 'Nieuwe pagina', 413);

-- 450: Course list and edit forms
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgNoCourseAreAvailableForEdit', 'There are no courses that you can edit.', 'Er zijn geen cursussen die u kunt bewerken.', 450);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgNoCourseAreAvailableForRead', 'There are no courses available to you.', 'Er zijn geen cursussen voor u beschikbaar.', 451);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('titleEditRecord', '<h3>Edit page</h3>', '<h3>Pagina bewerken</h3>', 452);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('titleEditPostDiscussion', '<h3>New discussion topic</h3>', '<h3>Nieuw discussieonderwerp</h3>', 453);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('titleEditJoinDiscussion', '<h3>Join the discussion</h3>', '<h3>Meedoen aan de discussie</h3>', 454);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('titleEditReplyDiscussion', '<h3>Reply</h3>', '<h3>Reageren</h3>', 455);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('titleEditAddRecord', '<h3>New page</h3>', '<h3>Nieuwe pagina</h3>', 456);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgNewTitle', 'Enter the title first. It is compared with the titles already in the library.', 'Vul eerst de titel in. Die wordt vergeleken met de titels die al in de bibliotheek staan.', 457);

-- 500: Users
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgDeleteUserConfirm', 'Do you really want to delete this user?', 'Wilt u deze gebruiker echt verwijderen?', 500);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgUserDeleted', 'The user has been deleted.', 'De gebruiker is verwijderd.', 501);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgAppended', 'The record has been added.', 'Het record is toegevoegd.', 502);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgUpdated', 'The changes have been saved.', 'De wijzigingen zijn opgeslagen.', 503);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgPasswordNotUpdated', 'The password has not been changed.', 'Het wachtwoord is niet gewijzigd.', 504);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErrorAuthNoDelete', '<p class="qvError">You are not allowed to delete this.</p>', '<p class="qvError">U mag dit niet verwijderen.</p>', 505);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErrorUserIDNotFound', '<p class="qvError">This user does not exist.</p>', '<p class="qvError">Deze gebruiker bestaat niet.</p>', 506);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErrorPasswordNotCorrect', '<p class="qvError">The current password is not correct.</p>', '<p class="qvError">Het huidige wachtwoord klopt niet.</p>', 507);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErrorUserIDInValid', '<p class="qvError">A user ID may not contain commas or spaces.</p>', '<p class="qvError">Een gebruikersnaam mag geen komma''s of spaties bevatten.</p>', 508);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErrorUserIDExist', '<br><span class="qvError">This user ID is already in use:</span> ', '<br><span class="qvError">Deze gebruikersnaam is al in gebruik:</span> ', 509);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErrorPasswordNotSame', '<p class="qvError">The two new passwords are not the same.</p>', '<p class="qvError">De twee nieuwe wachtwoorden zijn niet gelijk.</p>', 510);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErroremailInvalid', '<p class="qvError">Please enter a valid e-mail address.</p>', '<p class="qvError">Vul een geldig e-mailadres in.</p>', 511);

-- 550: Book registry
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('menuBookBasic', '[Basic settings] ', '[Basisinstellingen] ', 550);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('menuBookDelete', '[Delete book] ', '[Boek verwijderen] ', 551);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('menuBookFormat', '[Formats] ', '[Opmaak] ', 552);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('menuBookReader', '[Readers] ', '[Lezers] ', 553);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('menuBookEditor', '[Editors] ', '[Redacteuren] ', 554);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('menuBookAuthor', '[Authors] ', '[Auteurs] ', 555);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgConfirmDeleteBook', 'Do you really want to delete this book with all its pages?', 'Wilt u dit boek met al zijn pagina''s echt verwijderen?', 556);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgConfirmDeleteBookAgain', 'All pages of the book will be lost. Delete the book now?', 'Alle pagina''s van het boek gaan verloren. Het boek nu verwijderen?', 557);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgBookDeleted', 'The book and all its pages have been deleted.', 'Het boek en al zijn pagina''s zijn verwijderd.', 558);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErrorBookCode', '<p class="qvError">A book code may not contain commas or spaces.</p>', '<p class="qvError">Een boekcode mag geen komma''s of spaties bevatten.</p>', 559);

-- 580: Password mail
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgeMailSubject', 'Your password for qvTome', 'Uw wachtwoord voor qvTome', 580);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgeMailPasswordBody', 'Dear <qvTm.dbPositionTitle> <qvTm.dbFullName>, your user ID is <qvTm.dbUserID> and your password is <qvTm.dbPassword>. Please keep this message in a safe place.', 'Beste <qvTm.dbPositionTitle> <qvTm.dbFullName>, uw gebruikersnaam is <qvTm.dbUserID> en uw wachtwoord is <qvTm.dbPassword>. Bewaar dit bericht op een veilige plaats.', 581);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteForgotPassword', 'Forgot your password?', 'Wachtwoord vergeten?', 582);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SitePasswordAsk', '<p>Enter your user ID. We will send your password to the e-mail address of your account.</p>', '<p>Vul uw gebruikersnaam in. Wij sturen uw wachtwoord naar het e-mailadres van uw account.</p>', 583);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SitePasswordSend', 'Send my password', 'Stuur mijn wachtwoord', 584);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SitePasswordSent', '<p class="qvNotice">If this user ID belongs to an active account with an e-mail address, its password is on its way to that address. Nothing arrived after a while? Please ask the administrator of this site.</p>', '<p class="qvNotice">Als deze gebruikersnaam hoort bij een actief account met een e-mailadres, is het wachtwoord onderweg naar dat adres. Na een tijdje nog niets ontvangen? Vraag het dan aan de beheerder van deze site.</p>', 585);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SitePasswordNoID', '<p class="qvError">Please enter your user ID.</p>', '<p class="qvError">Vul uw gebruikersnaam in.</p>', 586);

-- 600: Assignments and submissions
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgThankYouForSubmission', '<p>Thank you for your submission.</p>', '<p>Bedankt voor uw inzending.</p>', 600);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErrorAnswerNotFound', '<p class="qvError">This submission does not belong to this page.</p>', '<p class="qvError">Deze inzending hoort niet bij deze pagina.</p>', 601);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErrorNotAuthorizedToReView', '<p class="qvError">This submission is not public.</p>', '<p class="qvError">Deze inzending is niet openbaar.</p>', 602);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErrorNoSubmissionYet', '<p class="qvError">Nothing has been submitted for this page yet.</p>', '<p class="qvError">Voor deze pagina is nog niets ingezonden.</p>', 603);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErrorAssignmentLocked', '<p class="qvError">Your submission is locked and can no longer be changed.</p>', '<p class="qvError">Uw inzending is vergrendeld en kan niet meer worden gewijzigd.</p>', 604);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('optNotFinished', ' Not finished', ' Niet af', 605);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('optSubmitted', ' Submitted', ' Ingezonden', 606);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('optLocked', ' Locked', ' Vergrendeld', 607);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('optCheckPrivate', ' Marked, visible to the student only', ' Nagekeken, alleen zichtbaar voor de student', 608);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('optCheckPublic', ' Marked, visible to all readers', ' Nagekeken, zichtbaar voor alle lezers', 609);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('optSharedExercise', ' Exercise shared with the class', ' Oefening gedeeld met de klas', 610);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('optClassDiscussion', ' Contribution to the class discussion', ' Bijdrage aan de klassendiscussie', 611);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('optAnonymousSubmission', ' Anonymous submission', ' Anonieme inzending', 612);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('optCheckRedo', ' Marked, to be done again', ' Nagekeken, opnieuw maken', 613);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('optNotFinishedRedo', ' Redo not finished', ' Herkansing niet af', 614);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('optSubmittedRedo', ' Redo submitted', ' Herkansing ingezonden', 615);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgYouWantToJustSave', ' Only save my work, I will submit it later', ' Mijn werk alleen opslaan, ik lever het later in', 616);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgYouWantToShareYourExercise', ' Share my exercise with the class', ' Mijn oefening delen met de klas', 617);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgYouWantToSubmit', ' Submit my work to the teacher', ' Mijn werk inleveren bij de docent', 618);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgAssignmentSubmitted', 'Your work has been saved.', 'Uw werk is opgeslagen.', 619);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgReviewOtherDiscussion', '<p>Contributions of the other participants:', '<p>Bijdragen van de andere deelnemers:', 620);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgReviewOtherAssign', '<p>Public work of other students:', '<p>Openbaar werk van andere studenten:', 621);

-- 700: Glossary
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErrorGlossaryNotFound', '<p class="qvError">The glossary entry was not found.</p>', '<p class="qvError">Het woordenlijstitem is niet gevonden.</p>', 700);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErrorNoGlossaryToUpdate', '<p class="qvError">No glossary terms were found in this page.</p>', '<p class="qvError">In deze pagina zijn geen termen uit de woordenlijst gevonden.</p>', 701);

-- 750: Media files and upload
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErrorNoUploadPath', '<p class="qvError">No upload folder has been set up for this site.</p>', '<p class="qvError">Voor deze site is geen uploadmap ingesteld.</p>', 750);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErrorNotAuthToUpload', '<p class="qvError">You are not allowed to upload files to this page.</p>', '<p class="qvError">U mag geen bestanden bij deze pagina uploaden.</p>', 751);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErrorUploadFileTooBig', '<br><span class="qvError">This file is larger than the upload limit and was not stored:</span> ', '<br><span class="qvError">Dit bestand is groter dan de uploadlimiet en is niet opgeslagen:</span> ', 752);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErrorUploadFileNotFoundOrZeroLength', '<br><span class="qvError">This file was not found or is empty:</span> ', '<br><span class="qvError">Dit bestand is niet gevonden of is leeg:</span> ', 753);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgFileUpload', 'File ', 'Bestand ', 754);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgThumbNail', 'Use the first file as thumbnail (GIF or JPEG, at most 6 KB) ', 'Eerste bestand als miniatuur gebruiken (GIF of JPEG, hoogstens 6 kB) ', 755);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgNewlyUploadedFiles', '<p><b>Newly uploaded files</b></p>', '<p><b>Nieuw geuploade bestanden</b></p>', 756);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgFileDeleteSuccess', 'The file has been deleted:', 'Het bestand is verwijderd:', 757);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgFileDeleteFails', '<span class="qvError">The file could not be deleted:</span>', '<span class="qvError">Het bestand kon niet worden verwijderd:</span>', 758);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgNoFiles', 'This page has no media files yet.', 'Deze pagina heeft nog geen mediabestanden.', 759);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgFileDownLoad', 'download', 'downloaden', 760);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgFileDelete', 'delete', 'verwijderen', 761);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('msgFileDeleteConfirm', 'Do you really want to delete the file', 'Wilt u het bestand echt verwijderen', 762);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErrorUploadFileName', '<br><span class="qvError">This file name cannot be stored (it leaves the folder or is reserved):</span> ', '<br><span class="qvError">Deze bestandsnaam kan niet worden opgeslagen (hij verlaat de map of is gereserveerd):</span> ', 763);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErrorUploadFileNotStored', '<br><span class="qvError">This file could not be stored:</span> ', '<br><span class="qvError">Dit bestand kon niet worden opgeslagen:</span> ', 764);

-- 800: Field labels
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbTitle', 'Title', 'Titel', 800);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbKeyWord', 'Keywords', 'Trefwoorden', 801);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbContent', 'Content', 'Inhoud', 802);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbRemark', 'Remark', 'Opmerking', 803);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbType', 'Type', 'Soort', 804);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbFinished', 'Finished', 'Gereed', 805);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbIndent', 'Indentation', 'Inspringing', 806);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbCID', 'Sub-pages', 'Subpagina''s', 807);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbExpiredDate', 'Expiry date', 'Vervaldatum', 808);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbEventDate', 'Event date', 'Datum van gebeurtenis', 809);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbURLLink', 'External link (URL)', 'Externe link (URL)', 810);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbOwnerID', 'Owner', 'Eigenaar', 811);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbBookID', 'Book', 'Boek', 812);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbAuthor', 'Author(s)', 'Auteur(s)', 813);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbSource', 'Source', 'Bron', 814);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbYear', 'Year', 'Jaar', 815);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbPages', 'Pages', 'Pagina''s', 816);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbISBN_ISSN', 'ISBN/ISSN', 'ISBN/ISSN', 817);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbAbstract', 'Abstract', 'Samenvatting', 818);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbLanguage', 'Language', 'Taal', 819);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbAffiliationAddress', 'Affiliation and address', 'Instelling en adres', 820);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbCallNo', 'Call number', 'Plaatsnummer', 821);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbBorrowerID', 'Borrower', 'Lener', 822);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbBorrowDate', 'Lent out on', 'Uitgeleend op', 823);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbNotes', 'Notes', 'Notities', 824);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbBookCode', 'Book code', 'Boekcode', 825);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbGroup', 'Access level', 'Toegangsniveau', 826);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbUserID', 'User ID', 'Gebruikersnaam', 827);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbPositionTitle', 'Title or position', 'Titel of functie', 828);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbFullName', 'Full name', 'Volledige naam', 829);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbMajorGroup', 'Main group', 'Hoofdgroep', 830);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbMinorGroups', 'Other groups', 'Overige groepen', 831);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbPasswordType', 'Login type', 'Soort aanmelding', 832);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbPasswordOld', 'Current password', 'Huidig wachtwoord', 833);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbPassword1', 'New password', 'Nieuw wachtwoord', 834);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbPassword2', 'New password again', 'Nieuw wachtwoord nogmaals', 835);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbeMail', 'E-mail address', 'E-mailadres', 836);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbTel', 'Telephone', 'Telefoon', 837);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbFax', 'Fax', 'Fax', 838);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbCountry', 'Country', 'Land', 839);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbZipCode', 'Postal code', 'Postcode', 840);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbAddress', 'Address', 'Adres', 841);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbDescription', 'Description', 'Beschrijving', 842);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbTableName', 'Book table', 'Boektabel', 843);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbPageLevelMin', 'First page level', 'Eerste paginaniveau', 844);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbPageLevelMax', 'Deepest page level', 'Diepste paginaniveau', 845);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbOrder', 'Order', 'Volgorde', 846);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbGlossaryBooks', 'Glossary', 'Woordenlijst', 847);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbBookURL', 'Entry address (URL)', 'Startadres (URL)', 848);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbFormatRead', 'Reading format', 'Leesopmaak', 849);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbFormatReadAll', 'Format of bulletin messages', 'Opmaak van prikbordberichten', 850);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbFormatReadDiscussion', 'Discussion format', 'Discussieopmaak', 851);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbReaderGroupID', 'Reader groups', 'Lezersgroepen', 852);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbFormatEdit', 'Form fields for editors', 'Formuliervelden voor redacteuren', 853);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbEditType', 'Editor rights', 'Rechten van redacteuren', 854);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbEditorGroupID', 'Editor groups', 'Redacteursgroepen', 855);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbEditorUserID', 'Editors', 'Redacteuren', 856);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbFormatAuth', 'Form fields for authors', 'Formuliervelden voor auteurs', 857);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbAuthType', 'Author rights', 'Rechten van auteurs', 858);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbAuthorGroupID', 'Author groups', 'Auteursgroepen', 859);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbAuthorUserID', 'Authors', 'Auteurs', 860);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbStatus', 'Status', 'Status', 861);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbMark', 'Mark: ', 'Cijfer: ', 862);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbScore', 'Score: ', 'Score: ', 863);

-- 900: Link addresses
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('URLUploadFiles', 'upload.lp', 'upload.lp', 900);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('URLBookManagement', 'bookadmin.lp', 'bookadmin.lp', 901);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('URLLibOwnerInfor', 'libowner.lp', 'libowner.lp', 902);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('URLHelp', 'help.lp', 'help.lp', 903);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('URLGlossary', 'glossary.lp', 'glossary.lp', 904);

-- 950: Site pages: login, message editor, message order, diagnostics
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteHome', 'Home', 'Startpagina', 950);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteLoginTitle', 'Log in', 'Aanmelden', 951);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteLoggedInAs', 'You are logged in as', 'U bent aangemeld als', 952);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteLogout', 'Log out', 'Afmelden', 953);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteLoggedOut', '<p class="qvNotice">You have been logged out.</p>', '<p class="qvNotice">U bent afgemeld.</p>', 954);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteAdminOnly', '<p class="qvError">This page is for administrators only. Please log in with an administrator account.</p>', '<p class="qvError">Deze pagina is alleen voor beheerders. Meld u aan met een beheerdersaccount.</p>', 955);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteSaved', '<p class="qvNotice">Your changes have been saved.</p>', '<p class="qvNotice">Uw wijzigingen zijn opgeslagen.</p>', 956);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteSaveFailed', '<p class="qvError">Your changes were not saved:</p>', '<p class="qvError">Uw wijzigingen zijn niet opgeslagen:</p>', 957);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteMsgEditTitle', 'Edit system messages', 'Systeemberichten bewerken', 960);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteMsgChoose', '<p>Choose the message to edit.</p>', '<p>Kies het bericht dat u wilt bewerken.</p>', 961);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteMsgKey', 'Key', 'Sleutel', 962);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteMsgEnglish', 'English text', 'Engelse tekst', 963);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteMsgDutch', 'Dutch text', 'Nederlandse tekst', 964);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteMsgBadID', '<p class="qvError">The message number must be a whole number.</p>', '<p class="qvError">Het berichtnummer moet een geheel getal zijn.</p>', 965);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteMsgNotFound', '<p class="qvError">There is no message with this number.</p>', '<p class="qvError">Er is geen bericht met dit nummer.</p>', 966);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteMsgAll', 'All messages', 'Alle berichten', 967);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteMsgOrderTitle', 'Order of system messages', 'Volgorde van systeemberichten', 970);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteOrderFrom', 'Order from', 'Volgorde van', 971);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteOrderTo', 'to', 'tot en met', 972);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteKeyContains', 'Key contains', 'Sleutel bevat', 973);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteShow', 'Show', 'Tonen', 974);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteBadLimits', '<p class="qvError">The order limits must be whole numbers.</p>', '<p class="qvError">De volgordegrenzen moeten gehele getallen zijn.</p>', 975);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteNoMessages', '<p>No message matches.</p>', '<p>Geen enkel bericht voldoet.</p>', 976);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteDiagnosticsTitle', 'Diagnostics', 'Diagnose', 980);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteDiagnosticsSend', 'Send a test form', 'Testformulier versturen', 981);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteUnsavedText', '<p>The texts you sent, which were not saved:</p>', '<p>De teksten die u verstuurde en die niet zijn opgeslagen:</p>', 958);

-- 1000: Site pages: course list, book and library pages
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteWelcome', '<p>Choose a course to start reading. Log in to take part in the class room, or to work on the courses you teach.</p>', '<p>Kies een cursus om te beginnen met lezen. Meld u aan om mee te doen in het klaslokaal, of om te werken aan de cursussen die u geeft.</p>', 1000);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteCourses', 'Courses', 'Cursussen', 1001);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteGlossaries', 'Glossaries and help', 'Woordenlijsten en hulp', 1002);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteMediaBooks', 'Pictures and media', 'Afbeeldingen en media', 1003);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteLibraries', 'Library', 'Bibliotheek', 1004);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteEditableBooks', 'Books you can edit', 'Boeken die u kunt bewerken', 1005);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteLanguageE', 'English', 'English', 1006);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteLanguageN', 'Nederlands', 'Nederlands', 1007);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteLanguageBoth', 'Both languages', 'Beide talen', 1008);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteContents', 'Contents', 'Inhoud', 1009);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteCommands', 'Commands', 'Opdrachten', 1010);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SitePrevious', '&larr; Previous', '&larr; Vorige', 1011);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteNext', 'Next &rarr;', 'Volgende &rarr;', 1012);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteUp', '&uarr; Up', '&uarr; Omhoog', 1013);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteTop', 'First page', 'Eerste pagina', 1014);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SitePageOf', 'Page <qvTm.PageNo> of <qvTm.PageNoTotal>', 'Pagina <qvTm.PageNo> van <qvTm.PageNoTotal>', 1015);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteBadTable', '<p class="qvError">There is no registered book table of this name.</p>', '<p class="qvError">Er is geen geregistreerde boektabel met deze naam.</p>', 1016);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteNoBooks', '<p class="qvError">No book has been registered in this table yet.</p>', '<p class="qvError">In deze tabel is nog geen boek geregistreerd.</p>', 1017);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteSkipToContents', 'Skip to the contents', 'Naar de inhoudsopgave', 1018);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteMessagesTitle', 'System messages', 'Systeemberichten', 1019);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteGlossaryTitle', 'Glossary', 'Woordenlijst', 1020);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteGlossaryRedirected', 'Redirected from', 'Doorverwezen vanaf', 1021);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteGlossaryAll', 'All terms', 'Alle termen', 1022);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteGlossaryChoose', '<p>Click a linked term in a page of a course to see what it means here, or read all terms.</p>', '<p>Klik op een gekoppelde term in een pagina van een cursus om hier te zien wat die betekent, of lees alle termen.</p>', 1023);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteHelp', 'Help', 'Hulp', 1024);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteHelpNoEntry', '<p class="qvError">There is no help text with this code.</p>', '<p class="qvError">Er is geen helptekst met deze code.</p>', 1025);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteUploadTitle', 'Media files of the page', 'Mediabestanden van de pagina', 1026);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteUploadBack', 'Back to the page', 'Terug naar de pagina', 1027);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteUploadNewPage', 'Upload as a new page', 'Uploaden als nieuwe pagina', 1028);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErrorHoldingInvalid', '<p class="qvError">The holding was not saved: choose a holder and enter a valid date.</p>', '<p class="qvError">Het exemplaar is niet opgeslagen: kies een houder en vul een geldige datum in.</p>', 321);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErrorHoldingNoUser', '<p class="qvError">The holding was not saved: the holder and the borrower must be users of this system.</p>', '<p class="qvError">Het exemplaar is niet opgeslagen: de houder en de lener moeten gebruikers van dit systeem zijn.</p>', 322);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErrorNotAvailable', '<p class="qvError">This function is not available on this site yet.</p>', '<p class="qvError">Deze functie is op deze site nog niet beschikbaar.</p>', 323);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErrorInvalidValue', '<p class="qvError">A value you entered is not valid here; nothing was saved.</p>', '<p class="qvError">Een ingevulde waarde is hier niet geldig; er is niets opgeslagen.</p>', 324);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErrorAuthNoMark', '<p class="qvError">Only the teachers of this book may see and mark the work of others.</p>', '<p class="qvError">Alleen de docenten van dit boek mogen het werk van anderen inzien en nakijken.</p>', 622);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErrorLoginToSubmit', '<p class="qvError">Please log in first: your work and notes are kept under your name.</p>', '<p class="qvError">Meld u eerst aan: uw werk en notities worden onder uw naam bewaard.</p>', 623);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErrorPasswordInvalid', '<p class="qvError">A password has 1 to 26 characters and no control characters; nothing was saved.</p>', '<p class="qvError">Een wachtwoord heeft 1 tot 26 tekens en geen stuurtekens; er is niets opgeslagen.</p>', 512);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('dbLANUserID', 'Network login name', 'Aanmeldnaam op het netwerk', 843);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteUsersTitle', 'Users', 'Gebruikers', 1026);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteGroupsTitle', 'Groups', 'Groepen', 1027);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteAccountTitle', 'My account', 'Mijn account', 1028);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteNewUser', 'New user', 'Nieuwe gebruiker', 1029);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteAllUsers', 'All users', 'Alle gebruikers', 1030);

-- 1040: Site pages: book administration, the holder of a library copy
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('ErrorBookTable', '<p class="qvError">This is not a book table of this site; nothing was saved.</p>', '<p class="qvError">Dit is geen boektabel van deze site; er is niets opgeslagen.</p>', 560);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteBookAdminTitle', 'Book administration', 'Boekenbeheer', 1040);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteBookTables', 'Book tables', 'Boektabellen', 1041);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteBookAdminChoose', '<p>Choose a book table to see its books, then a book to change its settings.</p>', '<p>Kies een boektabel om de boeken ervan te zien, en dan een boek om de instellingen ervan te wijzigen.</p>', 1042);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteNewBook', 'New book', 'Nieuw boek', 1043);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteOpenBook', 'Open the book', 'Het boek openen', 1044);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteLibOwnerTitle', 'Contact the holder', 'Contact met de houder', 1045);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteLibOwnerLogin', '<p>Please log in to see how to reach the holder of this copy.</p>', '<p>Meld u aan om te zien hoe u de houder van dit exemplaar bereikt.</p>', 1046);
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES ('SiteLibOwnerNotFound', '<p class="qvError">There is no such copy in the library.</p>', '<p class="qvError">Dit exemplaar bestaat niet in de bibliotheek.</p>', 1047);
