// Assignments as readers meet them: a quiz that leads each answer to its
// own page, and an exercise the student answered, reviewed beside its key.
import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';
import { launchBrowser, visitSite } from './site.mjs';

let browser;
before(async () => { browser = await launchBrowser(); });
after(() => browser?.close());

test('a reader takes the quiz and is led to the page of the answer', async (t) => {
  const v = await visitSite(t, browser, 'quiz');
  await v.run(async () => {
    await v.goto('login.lp');
    await v.logIn('student', 'student-2026');
    await v.goto('book.lp?id=38');
    assert.equal(await v.text('h1'), 'Quiz: the largest planet');
    await v.check('quiz-form');
    await v.page.click('input[value="jupiter"]');
    await v.press('.qvPage input[type="submit"]');
    assert.equal(await v.text('h1'), 'Jupiter');
  });
});

test('the student reviews his answered exercise beside the key', async (t) => {
  const v = await visitSite(t, browser, 'exercise');
  await v.run(async () => {
    await v.goto('book.lp?id=39');
    // A visitor gets the form without the key.
    assert.doesNotMatch(await v.text('.qvPage'), /All four giant planets have rings/);
    await v.goto('login.lp');
    await v.logIn('student', 'student-2026');
    await v.goto('book.lp?id=39');
    assert.equal(await v.text('h1'), 'Exercise: rings and phases');
    assert.match(await v.text('.qvPage'), /All four giant planets have rings/);
    assert.ok((await v.page.$$('.qvPage img')).length >= 6, 'the answers are shown as marks');
    await v.check('exercise-review');
  });
});
