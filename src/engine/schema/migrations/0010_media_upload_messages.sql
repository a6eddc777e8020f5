-- The messages of the media upload: a file name that cannot be stored, a
-- file that could not be moved into place, and the site's upload page. A
-- key a site already has stays as it is.
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder)
  SELECT 'ErrorUploadFileName', '<br><span class="qvError">This file name cannot be stored (it leaves the folder or is reserved):</span> ', '<br><span class="qvError">Deze bestandsnaam kan niet worden opgeslagen (hij verlaat de map of is gereserveerd):</span> ', 763
  WHERE NOT EXISTS (SELECT ID FROM qvSystemMsg WHERE dbName = 'ErrorUploadFileName');
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder)
  SELECT 'ErrorUploadFileNotStored', '<br><span class="qvError">This file could not be stored:</span> ', '<br><span class="qvError">Dit bestand kon niet worden opgeslagen:</span> ', 764
  WHERE NOT EXISTS (SELECT ID FROM qvSystemMsg WHERE dbName = 'ErrorUploadFileNotStored');
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder)
  SELECT 'SiteUploadTitle', 'Media files of the page', 'Mediabestanden van de pagina', 1026
  WHERE NOT EXISTS (SELECT ID FROM qvSystemMsg WHERE dbName = 'SiteUploadTitle');
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder)
  SELECT 'SiteUploadBack', 'Back to the page', 'Terug naar de pagina', 1027
  WHERE NOT EXISTS (SELECT ID FROM qvSystemMsg WHERE dbName = 'SiteUploadBack');
INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder)
  SELECT 'SiteUploadNewPage', 'Upload as a new page', 'Uploaden als nieuwe pagina', 1028
  WHERE NOT EXISTS (SELECT ID FROM qvSystemMsg WHERE dbName = 'SiteUploadNewPage');
