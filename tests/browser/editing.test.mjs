// The teacher builds the course in the browser: adds a page at the end of
// a level, edits it, cuts it, pastes it before a sibling and deletes it;
// the contents show each step. A reader follows a glossary link of a page
// into the glossary window.
import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';
import { launchBrowser, visitSite } from './site.mjs';

let browser;
before(async () => { browser = await launchBrowser(); });
after(() => browser?.close());

// The lines of the contents tree, in order (the current page is no link).
async function contents(v) {
  return (await v.text('.qvContents')).split('\n').map((line) => line.trim());
}

test('the teacher adds, edits, cuts, pastes and deletes a page', async (t) => {
  const v = await visitSite(t, browser, 'editing');
  await v.run(async () => {
    await v.goto('login.lp');
    await v.logIn('teacher', 'teacher-2026');
    await v.goto('book.lp?id=26');
    assert.equal(await v.text('h1'), 'Constellations');

    await v.follow('[Add page at the end]', '.qvMenu');
    assert.match(await v.text('.qvPage'), /Add a page|New page|Add/i);
    await v.check('editing-add-form');
    await v.type('textarea[name="dbTitle_e"]', 'Star maps');
    await v.type('textarea[name="dbContent_e"]', 'How to read a star map.');
    await v.press('input[name="Submit"]');
    assert.equal(await v.text('h1'), 'Star maps');
    assert.match(await v.text('.qvPage'), /How to read a star map\./);
    let titles = await contents(v);
    assert.ok(titles.indexOf('Star maps') > titles.indexOf('Constellations'), titles.join(' | '));

    await v.follow('[Edit]', '.qvMenu');
    await v.check('editing-edit-form');
    await v.type('textarea[name="dbContent_e"]', 'How to read a star map at night.');
    await v.press('input[name="Submit"]');
    assert.match(await v.text('.qvPage'), /How to read a star map at night\./);

    await v.follow('[Cut]', '.qvMenu');
    assert.match(await v.text('.qvMenu'), /Clipboard = \[Star maps\]/);
    await v.follow('Constellations', '.qvContents');
    await v.follow('[Paste before this page]', '.qvMenu');
    titles = await contents(v);
    assert.ok(titles.indexOf('Star maps') >= 0 &&
              titles.indexOf('Star maps') < titles.indexOf('Constellations'), titles.join(' | '));

    await v.follow('Star maps', '.qvContents');
    v.page.once('dialog', (dialog) => dialog.accept());
    await v.follow('[Delete]', '.qvMenu');
    assert.match(await v.text('.qvPage'), /deleted/i);
    await v.goto('book.lp?id=26');
    assert.equal((await contents(v)).indexOf('Star maps'), -1);
    await v.check('editing-after-delete');
  });
});

test('a reader opens the glossary window from a linked term', async (t) => {
  const v = await visitSite(t, browser, 'glossary');
  await v.run(async () => {
    await v.goto('book.lp?id=4');
    const link = await v.find('a', 'hydrogen', '.qvPage');
    const [popup] = await Promise.all([
      new Promise((resolve) => v.page.once('popup', resolve)),
      link.click(),
    ]);
    await popup.waitForSelector('.qvTerm');
    assert.match(await popup.$eval('.qvTerm', (e) => e.innerText), /hydrogen/);
    assert.match(await popup.$eval('.qvDefinition', (e) => e.innerText), /lightest/);
    await popup.close();

    await v.goto('glossary.lp?glossary_id=2');
    await v.check('glossary-entry');
    await v.follow('solar eclipse', '.qvDefinition');
    assert.match(await v.text('.qvTerm'), /solar eclipse/);
    await v.follow('All terms', '.qvGlossary');
    assert.match(await v.text('.qvContents'), /white dwarf/);
  });
});
