// An anonymous visitor reads the demo course: from the entry page through
// the folding contents tree, the page links, a jump inside a page, and the
// language links.
import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';
import { launchBrowser, visitSite } from './site.mjs';

let browser;
before(async () => { browser = await launchBrowser(); });
after(() => browser?.close());

test('a visitor reads the demo course through its contents, links and jumps', async (t) => {
  const v = await visitSite(t, browser, 'reader');
  await v.run(async () => {
    await v.goto('');
    assert.match(await v.text('.qvCourses'), /Courses\s+Courses in astronomy\s+Discovering the night sky/);
    assert.match(await v.text('.qvUser'), /Anonymous/);
    await v.check('reader-entry');

    await v.follow('Discovering the night sky', '.qvCourses');
    assert.equal(v.where, 'book.lp?id=-2');
    assert.equal(await v.text('h1'), 'About this course');
    assert.equal(await v.text('.qvBookTitle'), 'Discovering the night sky');
    assert.equal(await v.text('.qvPageNo'), 'Page 1 of 6');
    const contents = await v.text('.qvContents');
    assert.match(contents, /Part 1: The Sun and the Moon/);
    assert.doesNotMatch(contents, /How the Sun shines/);  // folded
    await v.check('reader-course');

    // A section opens on its first page, its branch of the tree unfolded.
    await v.follow('Part 1: The Sun and the Moon', '.qvContents');
    assert.equal(v.where, 'book.lp?id=2');
    assert.equal(await v.text('h1'), 'The Sun');
    assert.match(await v.text('.qvContents'), /The Sun\s+How the Sun shines\s+Sunspots\s+Solar eclipses\s+The Moon/);
    await v.check('reader-section');

    await v.follow('The Moon', '.qvContents');
    assert.equal(await v.text('h1'), 'Phases of the Moon');
    assert.match(await v.text('.qvContents'), /The Moon\s+Phases of the Moon\s+Tides\s+Lunar eclipses/);
    await v.follow('Next', '.qvNav');
    assert.equal(v.where, 'book.lp?id=9&qvAction=show');
    assert.equal(await v.text('h1'), 'Tides');
    await v.check('reader-page');
    await v.follow('Previous', '.qvNav');
    assert.equal(await v.text('h1'), 'Phases of the Moon');
    await v.follow('Next', '.qvNav');
    await v.follow('Up', '.qvNav');
    assert.equal(v.where, 'book.lp?id=7');
    await v.follow('First page', '.qvNav');
    assert.equal(await v.text('h1'), 'About this course');

    // A jump written in the page's text (qvTmGoto=8) leads to that page.
    await v.follow('the phases of the Moon', '.qvPage');
    assert.equal(v.where, 'book.lp?id=8');
    assert.equal(await v.text('h1'), 'Phases of the Moon');

    await v.follow('First page', '.qvNav');
    await v.follow('Class room', '.qvContents');
    assert.equal(await v.text('h1'), 'Notice board');
    assert.match(await v.text('.qvPage'), /Observing evening moved/);
    await v.check('reader-notice-board');
    await v.follow('Discussion: is Pluto a planet?', '.qvContents');
    assert.match(await v.text('.qvPage'), /Since 2006 Pluto counts as a dwarf planet/);
    await v.check('reader-discussion');
  });
});

test('a visitor switches the language and keeps it from page to page', async (t) => {
  const v = await visitSite(t, browser, 'language');
  await v.run(async () => {
    await v.goto('book.lp?id=8');
    await v.follow('Nederlands', '.qvTopBar');
    assert.equal(v.where, 'book.lp?table=qvbook&id=8&lang=n');
    assert.equal(await v.text('h1'), 'Schijngestalten van de maan');
    assert.equal(await v.page.$eval('html', (html) => html.lang), 'nl');
    await v.follow('Volgende', '.qvNav');
    assert.equal(await v.text('h1'), 'Getijden');  // kept without ?lang=
    await v.check('language-dutch');

    await v.follow('Beide talen', '.qvTopBar');
    assert.equal(await v.text('h1'), 'Getijden\nTides');
    await v.check('language-both');

    await v.follow('Startpagina', '.qvTopBar');
    assert.match(await v.text('.qvCourses'), /Cursussen[\s\S]*De sterrenhemel ontdekken/);
    await v.follow('English', '.qvTopBar');
    assert.match(await v.text('.qvCourses'), /Courses[\s\S]*Discovering the night sky/);
    assert.equal(await v.page.$eval('html', (html) => html.lang), 'en');
  });
});
