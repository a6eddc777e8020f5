// The course library: a visitor reads the records and their holdings; the
// teacher, a member of the lib_ groups, registers a new holding.
import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';
import { launchBrowser, visitSite } from './site.mjs';

let browser;
before(async () => { browser = await launchBrowser(); });
after(() => browser?.close());

test('the library shows holdings and a library member saves one', async (t) => {
  const v = await visitSite(t, browser, 'library');
  await v.run(async () => {
    await v.goto('');
    await v.follow('Course library', '.qvCourses');
    assert.equal(await v.text('.qvBookTitle'), 'Course library');
    assert.equal(await v.text('h1'), 'Astronomy');  // its first section
    assert.match(await v.text('.qvRecords'), /A walk through the night sky[\s\S]*The changing face of the Moon/);
    await v.check('library-section');

    await v.follow('A walk through the night sky', '.qvRecords');
    const record = await v.text('.qvRecord');
    assert.match(record, /Author\(s\): J\. Stargazer/);
    assert.match(record, /Call number: AST 520\.1\s+Borrower: Mr Sam Student \[student\]/);
    assert.equal(await v.page.$('.qvRecord form'), null);  // no holdings form for visitors
    await v.check('library-record');

    await v.logIn('teacher', 'teacher-2026');
    await v.follow('Home', '.qvTopBar');
    await v.follow('Course library', '.qvCourses');
    await v.follow('The changing face of the Moon', '.qvRecords');
    assert.match(await v.text('.qvRecord'), /Maintain the holdings of this record/);
    await v.check('library-holdings-form');

    await v.page.select('select[name="dbOwnerID"]', 'teacher');
    await v.type('input[name="dbCallNo"]', 'AST 523.4');
    await v.page.select('select[name="dbBorrowerID"]', 'student');
    await v.type('textarea[name="dbNotes"]', 'Second photocopy, for the class room.');
    await v.press('input[name="BibOwner"]');
    const saved = await v.text('.qvRecord');
    assert.doesNotMatch(saved, /must be users/);
    assert.match(saved, /Call number: AST 523\.4\s+Borrower: Mr Sam Student \[student\][\s\S]*Second photocopy, for the class room\./);
    assert.match(saved, /Call number: AST 523\.3/);  // the holding it had
    await v.check('library-holding-saved');
  });
});
