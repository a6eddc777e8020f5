// The administrator edits a system message, sees it on the entry page, and
// changes the order of messages in the grid.
import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';
import { launchBrowser, visitSite } from './site.mjs';

let browser;
before(async () => { browser = await launchBrowser(); });
after(() => browser?.close());

test('the administrator edits a message and reorders messages in the grid', async (t) => {
  const v = await visitSite(t, browser, 'admin');
  await v.run(async () => {
    await v.goto('msgedit.lp');
    assert.match(await v.text('body'), /for administrators only/);
    await v.logIn('admin', 'qvtome-admin');
    await v.follow('Home', '.qvTopBar');
    await v.follow('Edit system messages', '.qvPages');
    assert.equal(await v.text('h1'), 'Edit system messages');
    await v.follow('SiteWelcome', 'table.qvList');
    assert.match(v.where, /^msgedit\.lp\?id=\d+&lang=e$/);
    assert.equal(await v.page.$eval('input[name="dbName"]', (i) => i.value), 'SiteWelcome');
    await v.check('admin-message-form');

    await v.type('textarea[name="dbMsg_e"]', '<p>Clear skies tonight: <b>welcome</b>.</p>');
    await v.press('input[name="qvSave"]');
    assert.match(await v.text('body'), /Your changes have been saved/);
    assert.equal(await v.page.$eval('textarea[name="dbMsg_e"]', (e) => e.value),
                 '<p>Clear skies tonight: <b>welcome</b>.</p>');
    await v.check('admin-message-saved');
    await v.follow('Home', '.qvTopBar');
    assert.match(await v.text('body'), /Clear skies tonight: welcome\./);
    assert.equal(await v.text('body b'), 'welcome');  // messages are HTML
    await v.follow('System messages', '.qvPages');
    await v.type('aria/Key contains', 'sitewelcome');
    await v.press('form.qvFilter input[type="submit"]');
    assert.match(await v.text('table.qvList'), /SiteWelcome\s+<p>Clear skies tonight: <b>welcome<\/b>\.<\/p>/);
    await v.check('admin-messages-list');
    await v.follow('Home', '.qvTopBar');

    await v.follow('Order of system messages', '.qvPages');
    await v.type('input[name="q"]', 'SiteLanguage');
    await v.press('form[method="get"] input[type="submit"]');
    const keys = () => v.page.$$eval('form[name="qvMsgOrder"] td.qvKey', (c) => c.map((e) => e.innerText));
    assert.deepEqual(await keys(), ['SiteLanguageE', 'SiteLanguageN', 'SiteLanguageBoth']);
    await v.check('admin-message-order');

    await v.type('aria/Order SiteLanguageBoth', '1000');
    await v.press('input[name="qvSave"]');
    assert.match(await v.text('body'), /Your changes have been saved/);
    assert.deepEqual(await keys(), ['SiteLanguageBoth', 'SiteLanguageE', 'SiteLanguageN']);
    await v.check('admin-message-order-saved');
  });
});

test('the administrator adds a user, who signs in and keeps his own account', async (t) => {
  const v = await visitSite(t, browser, 'admin-users');
  await v.run(async () => {
    await v.goto('');
    await v.logIn('admin', 'qvtome-admin');
    await v.follow('Home', '.qvTopBar');
    await v.follow('Groups', '.qvPages');
    assert.equal(await v.text('h1'), 'Groups');
    await v.check('admin-groups');
    await v.follow('All users');
    assert.match(await v.text('.qvUserList'), /teacher \[Tessa Teacher\(0\)\]/);
    await v.check('admin-users');

    await v.follow('New user', '.qvAdminNav');
    await v.type('input[name="dbUserID"]', 'nora');
    await v.type('input[name="dbFullName_e"]', 'Nora Newcomer');
    await v.type('input[name="dbeMail"]', 'nora@example.org');
    await v.type('input[name="dbPassword1"]', 'nora-2026');
    await v.type('input[name="dbPassword2"]', 'nora-2026');
    await v.check('admin-new-user');
    await v.press('input[name="submituser"]');
    assert.match(await v.text('.qvUserForm'), /The record has been added/);
    assert.match(await v.text('.qvUserList'), /nora \[Nora Newcomer/);

    await v.follow('Log out', '.qvTopBar');
    await v.logIn('nora', 'nora-2026');
    await v.follow('Nora Newcomer', '.qvTopBar');
    assert.equal(await v.text('h1'), 'My account');
    assert.equal(await v.page.$('select[name="dbMajorGroup"]'), null);
    await v.check('user-account');
    await v.type('input[name="dbFullName_e"]', 'Nora N.');
    await v.type('input[name="dbPasswordOld"]', 'wrong');
    await v.press('input[name="submituser"]');
    assert.match(await v.text('.qvUserForm'), /current password is not correct/);
    await v.follow('Nora Newcomer', '.qvTopBar');
    await v.type('input[name="dbFullName_e"]', 'Nora N.');
    await v.type('input[name="dbPasswordOld"]', 'nora-2026');
    await v.press('input[name="submituser"]');
    assert.match(await v.text('.qvUserForm'), /The changes have been saved/);
    await v.check('user-account-saved');
  });
});
