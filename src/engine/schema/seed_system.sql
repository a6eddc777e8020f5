-- qvTome seed data: code lists, groups and the administrator account.
-- Rows of one code list are read in the order of dbOrder, then ID.

-- dbType: Page types. 2 and 3 show discussion commands, 4 shows its child pages,
-- 6 to 11 turn the page into an assignment; 255 is an unlinked heading.
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbType', '0', 'Ordinary page', 'Gewone pagina', 1);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbType', '1', 'Page owned by its author', 'Pagina van de eigen auteur', 2);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbType', '2', 'Discussion', 'Discussie', 3);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbType', '3', 'Discussion reply', 'Reactie in een discussie', 4);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbType', '4', 'Bulletin board', 'Prikbord', 5);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbType', '5', 'Bulletin message', 'Prikbordbericht', 6);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbType', '6', 'Quiz', 'Quiz', 7);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbType', '7', 'Exercise', 'Oefening', 8);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbType', '8', 'Assignment', 'Opdracht', 9);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbType', '9', 'Class discussion', 'Klassendiscussie', 10);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbType', '10', 'Anonymous submission', 'Anonieme inzending', 11);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbType', '11', 'Checked assignment', 'Nagekeken opdracht', 12);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbType', '255', 'Heading without page', 'Kop zonder pagina', 13);

-- dbGlossaryType: How a glossary term is found in page text.
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbGlossaryType', '0', 'Anywhere, also inside words', 'Overal, ook binnen woorden', 1);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbGlossaryType', '64', 'At the start of a word', 'Aan het begin van een woord', 2);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbGlossaryType', '65', 'As a whole word', 'Als heel woord', 3);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbGlossaryType', '66', 'As a whole word, same case', 'Als heel woord, met gelijke hoofdletters', 4);

-- dbMediaType: Kinds of media pages. The codes stay clear of the page types that
-- change how a page behaves (2 to 11 and 255).
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbMediaType', '0', 'Other', 'Overig', 1);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbMediaType', '20', 'Picture', 'Afbeelding', 2);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbMediaType', '21', 'Sound', 'Geluid', 3);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbMediaType', '22', 'Video', 'Video', 4);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbMediaType', '23', 'Animation', 'Animatie', 5);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbMediaType', '24', 'Document', 'Document', 6);

-- dbBibType: Kinds of library records, clear of the behaving page types as well.
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbBibType', '0', 'Other', 'Overig', 1);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbBibType', '30', 'Book', 'Boek', 2);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbBibType', '31', 'Chapter in a book', 'Hoofdstuk in een boek', 3);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbBibType', '32', 'Journal article', 'Tijdschriftartikel', 4);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbBibType', '33', 'Conference paper', 'Congresbijdrage', 5);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbBibType', '34', 'Report', 'Rapport', 6);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbBibType', '35', 'Thesis', 'Proefschrift', 7);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbBibType', '36', 'Web page', 'Webpagina', 8);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbBibType', '37', 'Audio-visual material', 'Audiovisueel materiaal', 9);

-- dbIndent: Extra indentation steps in contents lists.
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbIndent', '0', 'No indentation', 'Niet inspringen', 1);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbIndent', '1', '1 step', '1 stap', 2);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbIndent', '2', '2 steps', '2 stappen', 3);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbIndent', '3', '3 steps', '3 stappen', 4);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbIndent', '4', '4 steps', '4 stappen', 5);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbIndent', '5', '5 steps', '5 stappen', 6);

-- dbCID: Whether a page has child pages.
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbCID', '0', 'No sub-pages', 'Geen subpagina''s', 1);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbCID', '1', 'Has sub-pages (section)', 'Heeft subpagina''s (sectie)', 2);

-- dbExpiredDate: Expiry of a page, in days from the moment it is saved; 0 removes the
-- expiry date. The form shows no current value, so the first choice is the
-- one that keeps a page visible.
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbExpiredDate', '0', 'Never expires', 'Verloopt nooit', 1);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbExpiredDate', '1', 'In 1 day', 'Over 1 dag', 2);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbExpiredDate', '7', 'In 1 week', 'Over 1 week', 3);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbExpiredDate', '14', 'In 2 weeks', 'Over 2 weken', 4);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbExpiredDate', '30', 'In 1 month', 'Over 1 maand', 5);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbExpiredDate', '91', 'In 3 months', 'Over 3 maanden', 6);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbExpiredDate', '182', 'In 6 months', 'Over 6 maanden', 7);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbExpiredDate', '365', 'In 1 year', 'Over 1 jaar', 8);

-- dbLanguage: Languages of library records; several may be chosen.
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbLanguage', 'English', 'English', 'Engels', 1);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbLanguage', 'Dutch', 'Dutch', 'Nederlands', 2);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbLanguage', 'German', 'German', 'Duits', 3);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbLanguage', 'French', 'French', 'Frans', 4);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbLanguage', 'Spanish', 'Spanish', 'Spaans', 5);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbLanguage', 'Italian', 'Italian', 'Italiaans', 6);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbLanguage', 'Portuguese', 'Portuguese', 'Portugees', 7);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbLanguage', 'Chinese', 'Chinese', 'Chinees', 8);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbLanguage', 'Japanese', 'Japanese', 'Japans', 9);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbLanguage', 'Arabic', 'Arabic', 'Arabisch', 10);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbLanguage', 'Russian', 'Russian', 'Russisch', 11);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbLanguage', 'Other', 'Other', 'Overig', 12);

-- dbPasswordType: How a user may log in.
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbPasswordType', '0', 'Form and network login', 'Aanmelden met formulier en via het netwerk', 1);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbPasswordType', '1', 'Form and network login, password set by the administrator', 'Aanmelden met formulier en via het netwerk, wachtwoord vastgesteld door de beheerder', 2);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbPasswordType', '-1', 'Network login only', 'Alleen aanmelden via het netwerk', 3);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbPasswordType', '-2', 'No login (account disabled)', 'Niet aanmelden (account uitgeschakeld)', 4);

-- dbCountry: Countries of user addresses.
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbCountry', 'NL', 'Netherlands', 'Nederland', 1);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbCountry', 'BE', 'Belgium', 'België', 2);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbCountry', 'LU', 'Luxembourg', 'Luxemburg', 3);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbCountry', 'DE', 'Germany', 'Duitsland', 4);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbCountry', 'FR', 'France', 'Frankrijk', 5);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbCountry', 'GB', 'United Kingdom', 'Verenigd Koninkrijk', 6);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbCountry', 'IE', 'Ireland', 'Ierland', 7);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbCountry', 'ES', 'Spain', 'Spanje', 8);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbCountry', 'PT', 'Portugal', 'Portugal', 9);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbCountry', 'IT', 'Italy', 'Italië', 10);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbCountry', 'AT', 'Austria', 'Oostenrijk', 11);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbCountry', 'CH', 'Switzerland', 'Zwitserland', 12);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbCountry', 'DK', 'Denmark', 'Denemarken', 13);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbCountry', 'SE', 'Sweden', 'Zweden', 14);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbCountry', 'NO', 'Norway', 'Noorwegen', 15);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbCountry', 'FI', 'Finland', 'Finland', 16);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbCountry', 'PL', 'Poland', 'Polen', 17);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbCountry', 'US', 'United States', 'Verenigde Staten', 18);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbCountry', 'CA', 'Canada', 'Canada', 19);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbCountry', 'AU', 'Australia', 'Australië', 20);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbCountry', 'SR', 'Suriname', 'Suriname', 21);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbCountry', 'ID', 'Indonesia', 'Indonesië', 22);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbCountry', 'CN', 'China', 'China', 23);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbCountry', 'JP', 'Japan', 'Japan', 24);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbCountry', 'ZA', 'South Africa', 'Zuid-Afrika', 25);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbCountry', 'XX', 'Other country', 'Ander land', 26);

-- dbTableName: Book tables a new book may be placed in.
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbTableName', 'qvbook', 'Books (qvbook)', 'Boeken (qvbook)', 1);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbTableName', 'qvglossary', 'Glossaries (qvglossary)', 'Woordenlijsten (qvglossary)', 2);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbTableName', 'qvmedia', 'Media (qvmedia)', 'Media (qvmedia)', 3);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbTableName', 'qvlibrary', 'Library (qvlibrary)', 'Bibliotheek (qvlibrary)', 4);

-- dbGroupLevel: Access level of a book and its new pages: a page is readable by users
-- whose major group id is at least its level, and by visitors who are not
-- logged in up to level 50. 255 marks a heading row of the course list.
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbGroupLevel', '0', 'Everyone, also visitors who are not logged in', 'Iedereen, ook bezoekers die niet zijn aangemeld', 1);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbGroupLevel', '60', 'Students, teachers and administrators', 'Studenten, docenten en beheerders', 2);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbGroupLevel', '80', 'Teachers and administrators', 'Docenten en beheerders', 3);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbGroupLevel', '99', 'Administrators only', 'Alleen beheerders', 4);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbGroupLevel', '255', 'Heading in the course list', 'Kop in de cursuslijst', 5);

-- dbPageLevel: Page levels of a book.
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbPageLevel', '1', 'Level 1', 'Niveau 1', 1);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbPageLevel', '2', 'Level 2', 'Niveau 2', 2);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbPageLevel', '3', 'Level 3', 'Niveau 3', 3);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbPageLevel', '4', 'Level 4', 'Niveau 4', 4);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbPageLevel', '5', 'Level 5', 'Niveau 5', 5);

-- dbGroup: Groups that may be given reader, editor or author rights in a book.
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbGroup', '99', 'Administrators', 'Beheerders', 1);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbGroup', '80', 'Teachers', 'Docenten', 2);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbGroup', '60', 'Students', 'Studenten', 3);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbGroup', 'lib_manager', 'Library managers', 'Bibliotheekbeheerders', 4);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbGroup', 'lib_owner', 'Library holders', 'Bibliotheekhouders', 5);

-- dbEditType: Operation rights of editors and authors; read rights come with them.
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbEditType', 'add', 'Add pages anywhere', 'Overal pagina''s toevoegen', 1);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbEditType', 'append', 'Add pages at the end of a level', 'Pagina''s aan het eind van een niveau toevoegen', 2);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbEditType', 'insert', 'Insert pages before a page', 'Pagina''s voor een pagina invoegen', 3);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbEditType', 'create', 'Create sub-pages', 'Subpagina''s maken', 4);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbEditType', 'move', 'Cut and paste pages', 'Pagina''s knippen en plakken', 5);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbEditType', 'update', 'Edit pages', 'Pagina''s bewerken', 6);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbEditType', 'glossary', 'Link glossary terms', 'Woordenlijsttermen koppelen', 7);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbEditType', 'delete', 'Delete pages', 'Pagina''s verwijderen', 8);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbEditType', 'upload', 'Upload media files', 'Mediabestanden uploaden', 9);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbEditType', 'property', 'Change page properties', 'Pagina-eigenschappen wijzigen', 10);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbEditType', 'assignment', 'Mark assignments', 'Opdrachten nakijken', 11);

INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbAuthType', 'add', 'Add pages anywhere', 'Overal pagina''s toevoegen', 1);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbAuthType', 'append', 'Add pages at the end of a level', 'Pagina''s aan het eind van een niveau toevoegen', 2);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbAuthType', 'insert', 'Insert pages before a page', 'Pagina''s voor een pagina invoegen', 3);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbAuthType', 'create', 'Create sub-pages', 'Subpagina''s maken', 4);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbAuthType', 'move', 'Cut and paste pages', 'Pagina''s knippen en plakken', 5);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbAuthType', 'update', 'Edit pages', 'Pagina''s bewerken', 6);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbAuthType', 'glossary', 'Link glossary terms', 'Woordenlijsttermen koppelen', 7);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbAuthType', 'delete', 'Delete pages', 'Pagina''s verwijderen', 8);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbAuthType', 'upload', 'Upload media files', 'Mediabestanden uploaden', 9);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbAuthType', 'property', 'Change page properties', 'Pagina-eigenschappen wijzigen', 10);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbAuthType', 'assignment', 'Mark assignments', 'Opdrachten nakijken', 11);

-- dbFormatEdit: Fields of the page form of editors and authors, in form order.
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbFormatEdit', 'dbtitle', 'Title', 'Titel', 1);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbFormatEdit', 'dbkeyword', 'Keywords', 'Trefwoorden', 2);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbFormatEdit', 'dbcontent', 'Content', 'Inhoud', 3);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbFormatEdit', 'dbremark', 'Remark', 'Opmerking', 4);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbFormatEdit', 'dbtype', 'Type', 'Soort', 5);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbFormatEdit', 'dbfinished', 'Finished', 'Gereed', 6);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbFormatEdit', 'dbindent', 'Indentation', 'Inspringing', 7);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbFormatEdit', 'dbcid', 'Sub-pages', 'Subpagina''s', 8);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbFormatEdit', 'dbexpireddate', 'Expiry date', 'Vervaldatum', 9);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbFormatEdit', 'dbeventdate', 'Event date', 'Datum van gebeurtenis', 10);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbFormatEdit', 'dburllink', 'External link', 'Externe link', 11);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbFormatEdit', 'dbownerid', 'Owner', 'Eigenaar', 12);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbFormatEdit', 'dbbookid', 'Book', 'Boek', 13);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbFormatEdit', 'dbauthor', 'Author(s)', 'Auteur(s)', 14);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbFormatEdit', 'dbsource', 'Source', 'Bron', 15);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbFormatEdit', 'dbyear', 'Year', 'Jaar', 16);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbFormatEdit', 'dbpages', 'Pages', 'Pagina''s', 17);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbFormatEdit', 'dbisbn_issn', 'ISBN/ISSN', 'ISBN/ISSN', 18);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbFormatEdit', 'dbabstract', 'Abstract', 'Samenvatting', 19);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbFormatEdit', 'dblanguage', 'Language', 'Taal', 20);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbFormatEdit', 'dbaffiliationaddress', 'Affiliation and address', 'Instelling en adres', 21);

INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbFormatAuth', 'dbtitle', 'Title', 'Titel', 1);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbFormatAuth', 'dbkeyword', 'Keywords', 'Trefwoorden', 2);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbFormatAuth', 'dbcontent', 'Content', 'Inhoud', 3);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbFormatAuth', 'dbremark', 'Remark', 'Opmerking', 4);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbFormatAuth', 'dbtype', 'Type', 'Soort', 5);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbFormatAuth', 'dbfinished', 'Finished', 'Gereed', 6);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbFormatAuth', 'dbindent', 'Indentation', 'Inspringing', 7);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbFormatAuth', 'dbcid', 'Sub-pages', 'Subpagina''s', 8);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbFormatAuth', 'dbexpireddate', 'Expiry date', 'Vervaldatum', 9);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbFormatAuth', 'dbeventdate', 'Event date', 'Datum van gebeurtenis', 10);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbFormatAuth', 'dburllink', 'External link', 'Externe link', 11);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbFormatAuth', 'dbownerid', 'Owner', 'Eigenaar', 12);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbFormatAuth', 'dbbookid', 'Book', 'Boek', 13);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbFormatAuth', 'dbauthor', 'Author(s)', 'Auteur(s)', 14);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbFormatAuth', 'dbsource', 'Source', 'Bron', 15);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbFormatAuth', 'dbyear', 'Year', 'Jaar', 16);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbFormatAuth', 'dbpages', 'Pages', 'Pagina''s', 17);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbFormatAuth', 'dbisbn_issn', 'ISBN/ISSN', 'ISBN/ISSN', 18);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbFormatAuth', 'dbabstract', 'Abstract', 'Samenvatting', 19);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbFormatAuth', 'dblanguage', 'Language', 'Taal', 20);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbFormatAuth', 'dbaffiliationaddress', 'Affiliation and address', 'Instelling en adres', 21);

-- dbYear: Publication years; 0 for an unknown year comes first, as the form
-- shows no current value for a new record.
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '0', 'Unknown', 'Onbekend', 1);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '2030', '2030', '2030', 2);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '2029', '2029', '2029', 3);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '2028', '2028', '2028', 4);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '2027', '2027', '2027', 5);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '2026', '2026', '2026', 6);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '2025', '2025', '2025', 7);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '2024', '2024', '2024', 8);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '2023', '2023', '2023', 9);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '2022', '2022', '2022', 10);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '2021', '2021', '2021', 11);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '2020', '2020', '2020', 12);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '2019', '2019', '2019', 13);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '2018', '2018', '2018', 14);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '2017', '2017', '2017', 15);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '2016', '2016', '2016', 16);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '2015', '2015', '2015', 17);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '2014', '2014', '2014', 18);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '2013', '2013', '2013', 19);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '2012', '2012', '2012', 20);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '2011', '2011', '2011', 21);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '2010', '2010', '2010', 22);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '2009', '2009', '2009', 23);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '2008', '2008', '2008', 24);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '2007', '2007', '2007', 25);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '2006', '2006', '2006', 26);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '2005', '2005', '2005', 27);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '2004', '2004', '2004', 28);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '2003', '2003', '2003', 29);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '2002', '2002', '2002', 30);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '2001', '2001', '2001', 31);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '2000', '2000', '2000', 32);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1999', '1999', '1999', 33);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1998', '1998', '1998', 34);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1997', '1997', '1997', 35);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1996', '1996', '1996', 36);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1995', '1995', '1995', 37);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1994', '1994', '1994', 38);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1993', '1993', '1993', 39);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1992', '1992', '1992', 40);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1991', '1991', '1991', 41);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1990', '1990', '1990', 42);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1989', '1989', '1989', 43);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1988', '1988', '1988', 44);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1987', '1987', '1987', 45);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1986', '1986', '1986', 46);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1985', '1985', '1985', 47);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1984', '1984', '1984', 48);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1983', '1983', '1983', 49);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1982', '1982', '1982', 50);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1981', '1981', '1981', 51);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1980', '1980', '1980', 52);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1979', '1979', '1979', 53);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1978', '1978', '1978', 54);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1977', '1977', '1977', 55);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1976', '1976', '1976', 56);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1975', '1975', '1975', 57);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1974', '1974', '1974', 58);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1973', '1973', '1973', 59);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1972', '1972', '1972', 60);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1971', '1971', '1971', 61);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1970', '1970', '1970', 62);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1969', '1969', '1969', 63);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1968', '1968', '1968', 64);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1967', '1967', '1967', 65);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1966', '1966', '1966', 66);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1965', '1965', '1965', 67);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1964', '1964', '1964', 68);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1963', '1963', '1963', 69);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1962', '1962', '1962', 70);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1961', '1961', '1961', 71);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1960', '1960', '1960', 72);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1959', '1959', '1959', 73);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1958', '1958', '1958', 74);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1957', '1957', '1957', 75);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1956', '1956', '1956', 76);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1955', '1955', '1955', 77);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1954', '1954', '1954', 78);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1953', '1953', '1953', 79);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1952', '1952', '1952', 80);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1951', '1951', '1951', 81);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1950', '1950', '1950', 82);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1949', '1949', '1949', 83);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1948', '1948', '1948', 84);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1947', '1947', '1947', 85);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1946', '1946', '1946', 86);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1945', '1945', '1945', 87);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1944', '1944', '1944', 88);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1943', '1943', '1943', 89);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1942', '1942', '1942', 90);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1941', '1941', '1941', 91);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1940', '1940', '1940', 92);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1939', '1939', '1939', 93);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1938', '1938', '1938', 94);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1937', '1937', '1937', 95);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1936', '1936', '1936', 96);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1935', '1935', '1935', 97);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1934', '1934', '1934', 98);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1933', '1933', '1933', 99);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1932', '1932', '1932', 100);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1931', '1931', '1931', 101);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1930', '1930', '1930', 102);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1929', '1929', '1929', 103);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1928', '1928', '1928', 104);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1927', '1927', '1927', 105);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1926', '1926', '1926', 106);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1925', '1925', '1925', 107);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1924', '1924', '1924', 108);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1923', '1923', '1923', 109);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1922', '1922', '1922', 110);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1921', '1921', '1921', 111);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1920', '1920', '1920', 112);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1919', '1919', '1919', 113);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1918', '1918', '1918', 114);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1917', '1917', '1917', 115);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1916', '1916', '1916', 116);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1915', '1915', '1915', 117);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1914', '1914', '1914', 118);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1913', '1913', '1913', 119);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1912', '1912', '1912', 120);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1911', '1911', '1911', 121);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1910', '1910', '1910', 122);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1909', '1909', '1909', 123);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1908', '1908', '1908', 124);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1907', '1907', '1907', 125);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1906', '1906', '1906', 126);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1905', '1905', '1905', 127);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1904', '1904', '1904', 128);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1903', '1903', '1903', 129);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1902', '1902', '1902', 130);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1901', '1901', '1901', 131);
INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e, dbName_n, dbOrder) VALUES ('dbYear', '1900', '1900', '1900', 132);

-- Groups. Numeric ids double as access levels; the lib_ groups are minor
-- groups that open the holdings form of the library.
INSERT INTO qvAuthGroup (dbGroupID, dbName_e, dbName_n, dbMajorOnly) VALUES ('99', 'Administrators', 'Beheerders', true);
INSERT INTO qvAuthGroup (dbGroupID, dbName_e, dbName_n, dbMajorOnly) VALUES ('80', 'Teachers', 'Docenten', true);
INSERT INTO qvAuthGroup (dbGroupID, dbName_e, dbName_n, dbMajorOnly) VALUES ('60', 'Students', 'Studenten', true);
INSERT INTO qvAuthGroup (dbGroupID, dbName_e, dbName_n, dbMajorOnly) VALUES ('lib_manager', 'Library managers', 'Bibliotheekbeheerders', false);
INSERT INTO qvAuthGroup (dbGroupID, dbName_e, dbName_n, dbMajorOnly) VALUES ('lib_owner', 'Library holders', 'Bibliotheekhouders', false);

-- The administrator, password qvtome-admin (stored encoded). Change it
-- after the first login.
INSERT INTO qvAuthUser (dbUserID, dbPassword, dbPasswordType, dbMajorGroup, dbMinorGroups, dbFullName_e, dbFullName_n, dbeMail) VALUES ('admin', 'xyypug3ahvlv', 0, '99', '', 'Administrator', 'Beheerder', 'admin@localhost');
