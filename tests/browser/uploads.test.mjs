// The teacher opens a page's media files from its menu, uploads a picture
// from the file chooser, sees it in the list and in the page, and deletes
// it again; the edit form of the page offers the same upload.
import assert from 'node:assert/strict';
import { mkdtemp, rm, writeFile } from 'node:fs/promises';
import os from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { launchBrowser, visitSite } from './site.mjs';

let browser;
before(async () => { browser = await launchBrowser(); });
after(() => browser?.close());

// A 1x1 GIF.
const gif = Buffer.from('474946383961010001008000000000' + '00ffffff21f90401000000002c00000000' +
                        '010001000002024401003b', 'hex');

test('the teacher uploads a picture that the page then shows', async (t) => {
  const folder = await mkdtemp(path.join(os.tmpdir(), 'qvtome-upload-'));
  t.after(() => rm(folder, { recursive: true, force: true }));
  const picture = path.join(folder, 'red star.gif');
  await writeFile(picture, gif);

  const v = await visitSite(t, browser, 'uploads');
  await v.run(async () => {
    await v.goto('login.lp');
    await v.logIn('teacher', 'teacher-2026');
    await v.goto('book.lp?id=6');
    await v.follow('[Media files]', '.qvMenu');
    assert.match(v.where, /^upload\.lp\?table=qvbook&id=6/);
    assert.match(await v.text('.qvFiles'), /no media files/);
    await v.check('uploads-form');

    const input = await v.page.$('input[name="file1"]');
    await input.uploadFile(picture);
    await v.press('input[name="qvTmUpload"]');
    assert.match(await v.text('.qvFiles'), /qvTmMPath\/qvbook\/2\/m000006_red%20star\.gif/);
    await v.check('uploads-listed');

    await v.follow('Back to the page');
    const shown = await v.page.$$eval('.qvPage img', (images) =>
      images.filter((i) => i.src.endsWith('/media/qvtome/qvbook/2/m000006_red%20star.gif'))
        .map((i) => i.complete && i.naturalWidth));
    assert.deepEqual(shown, [1]);
    await v.check('uploads-page');

    // The edit form lists the file and offers the upload too.
    await v.follow('[Edit]', '.qvMenu');
    assert.ok(await v.page.$('.qvPage form[enctype="multipart/form-data"] input[name="file1"]'));
    assert.match(await v.text('.qvPage'), /m000006_red%20star\.gif/);

    await v.goto('upload.lp?table=qvbook&id=6');
    v.page.once('dialog', (dialog) => dialog.accept());
    await v.follow('delete', '.qvFiles');
    assert.match(await v.text('.qvFiles'), /has been deleted/);
    assert.match(await v.text('.qvFiles'), /no media files/);
  });
});
