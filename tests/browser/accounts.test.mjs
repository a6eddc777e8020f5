// The demo accounts log in through the login page: the teacher sees the
// command menu of the course and logs out again, the student reads the same
// pages without any editing command but the answers of a discussion.
import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';
import { launchBrowser, visitSite } from './site.mjs';

let browser;
before(async () => { browser = await launchBrowser(); });
after(() => browser?.close());

test('the teacher logs in, sees the command menu and logs out', async (t) => {
  const v = await visitSite(t, browser, 'teacher');
  await v.run(async () => {
    await v.goto('');
    await v.follow('Log in', '.qvTopBar');
    assert.equal(v.where, 'login.lp?lang=e');
    await v.check('teacher-login-form');

    await v.logIn('teacher', 'wrong-password');
    assert.match(await v.text('form'), /Login failed/);
    assert.match(await v.text('.qvLogin'), /Log in/);

    await v.logIn('teacher', 'teacher-2026');
    assert.match(await v.text('.qvUser'), /You are logged in as\s+Tessa Teacher\s+\(teacher\)/);
    assert.match(await v.text('.qvLogin'), /Tessa Teacher \| Log out/);
    await v.check('teacher-logged-in');

    await v.follow('Home', '.qvTopBar');
    assert.match(await v.text('.qvEditable'), /Books you can edit[\s\S]*Discovering the night sky/);
    await v.follow('Discovering the night sky', '.qvEditable');
    assert.equal(await v.text('.qvMenu h2'), 'Commands');
    assert.ok((await v.links('.qvMenu')).length > 0, 'the menu offers commands');
    await v.check('teacher-course');

    await v.follow('Log out', '.qvTopBar');
    assert.match(await v.text('body'), /You have been logged out/);
    assert.equal(await v.text('.qvLogin'), 'Log in');
    await v.check('teacher-logged-out');
    await v.goto('book.lp?id=-2');
    assert.equal(await v.page.$('.qvMenu'), null);
  });
});

test('the student reads the course without editing commands', async (t) => {
  const v = await visitSite(t, browser, 'student');
  await v.run(async () => {
    await v.goto('login.lp');
    await v.logIn('student', 'student-2026');
    assert.match(await v.text('.qvUser'), /Sam Student/);
    await v.follow('Home', '.qvTopBar');
    await v.follow('Discovering the night sky', '.qvCourses');
    assert.equal(await v.text('h1'), 'About this course');
    assert.equal(await v.page.$('.qvMenu'), null);
    await v.follow('Class room', '.qvContents');
    await v.follow('Discussion: is Pluto a planet?', '.qvContents');
    assert.equal(await v.page.$('.qvMenu'), null);
    const actions = await v.page.$$eval('a[href*="qvAction="]', (links) =>
      links.map((a) => a.getAttribute('href')).filter((h) => !/qvAction=show\b/.test(h)));
    // A logged-in reader may answer in a discussion, and do nothing else.
    assert.deepEqual(actions, ['/book.lp?id=34&qvAction=add&add=bottom&reply=y',
                               '/book.lp?id=34&qvAction=add&add=below&reply=y']);
    await v.check('student-discussion');
  });
});
