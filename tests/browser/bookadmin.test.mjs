// Book administration: the administrator finds the course among the book
// tables, changes a section of its settings, creates a book, opens its first
// page and deletes it after two confirmations; a reader of the library
// finds how to reach the holder of a copy.
import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';
import { launchBrowser, visitSite } from './site.mjs';

let browser;
before(async () => { browser = await launchBrowser(); });
after(() => browser?.close());

test('the administrator edits, creates and deletes a book', async (t) => {
  const v = await visitSite(t, browser, 'bookadmin');
  await v.run(async () => {
    await v.goto('');
    await v.logIn('admin', 'qvtome-admin');
    await v.follow('Home', '.qvTopBar');
    await v.follow('Book administration', '.qvPages');
    assert.equal(await v.text('h1'), 'Book administration');
    await v.check('bookadmin-tables');
    await v.follow('qvbook', '.qvBookList');
    assert.match(await v.text('.qvBookList'), /ASTRO1 \[Discovering the night sky\] by teacher \[0\]/);
    await v.check('bookadmin-books');
    await v.follow('ASTRO1', '.qvBookList');
    assert.equal(await v.page.$eval('input[name="dbBookCode"]', (i) => i.value), 'ASTRO1');
    await v.check('bookadmin-book');

    await v.follow('[Readers]', '.qvPage');
    assert.deepEqual(await v.page.$$eval('select[name="dbReaderGroupID"] option:checked',
                                         (o) => o.map((e) => e.value)), ['99', 'astro1']);
    await v.page.select('select[name="dbReaderGroupID"]', '99', 'astro1', '60');
    await v.press('input[name="submitbook"]');
    assert.match(await v.text('.qvPage'), /The changes have been saved/);
    assert.deepEqual(await v.page.$$eval('select[name="dbReaderGroupID"] option:checked',
                                         (o) => o.map((e) => e.value)), ['99', '60', 'astro1']);

    await v.follow('New book', '.qvAdminNav');
    await v.type('input[name="dbTitle_e"]', 'Comets and meteors');
    await v.type('input[name="dbBookCode"]', 'COMETS');
    await v.page.select('select[name="dbTableName"]', 'qvbook');
    await v.press('input[name="submitbook"]');
    assert.match(await v.text('.qvPage'), /The record has been added/);
    await v.check('bookadmin-new-book');
    await v.follow('Open the book', '.qvPage');
    assert.equal(await v.text('.qvBookTitle'), 'Comets and meteors');
    await v.goto('bookadmin.lp?tablename=qvbook');
    await v.follow('COMETS', '.qvBookList');

    // Two confirmations, then the book is gone.
    const asked = [];
    v.page.on('dialog', (d) => { asked.push(d.message()); d.accept(); });
    await v.follow('[Delete book]', '.qvPage');
    assert.equal(asked.length, 2);
    assert.match(await v.text('.qvPage'), /The book and all its pages have been deleted/);
    await v.follow('Book tables', '.qvAdminNav');
    await v.follow('qvbook', '.qvBookList');
    assert.doesNotMatch(await v.text('.qvBookList'), /COMETS/);
  });
});

test('a reader finds how to reach the holder of a copy', async (t) => {
  const v = await visitSite(t, browser, 'libowner');
  await v.run(async () => {
    await v.goto('');
    await v.logIn('student', 'student-2026');
    await v.follow('Home', '.qvTopBar');
    await v.follow('Course library', '.qvCourses');
    await v.follow('A walk through the night sky', '.qvRecords');
    await v.follow('Contact the holder', '.qvRecord');
    assert.equal(await v.text('h1'), 'Contact the holder');
    assert.match(await v.text('table.qvHolder'), /Ms Tessa Teacher[\s\S]*teacher@localhost/);
    await v.check('libowner');
  });
});
