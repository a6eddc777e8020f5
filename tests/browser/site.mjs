// The default site in headless Chromium: a real `qvtome serve` on a fresh
// data folder, a browser per test file, and a visitor (one browser context,
// so one cookie jar) that records what the page logs and which of its
// requests fail. visitor.check(name) looks at the page as it is at phone and
// desktop width: no sideways scrolling on a phone, no console errors, no
// failed sub-requests, no serious accessibility violations in the site's own
// frame; and it keeps a screenshot of each width.
import { spawn } from 'node:child_process';
import { mkdtemp, mkdir, readFile, rm } from 'node:fs/promises';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import puppeteer from 'puppeteer-core';

const here = path.dirname(fileURLToPath(import.meta.url));
export const repo = path.resolve(here, '../..');
const binary = process.env.QVTOME_BIN || path.join(repo, 'build/app/qvtome');
const chromium = process.env.CHROMIUM_BIN || '/usr/bin/chromium';
export const screenshots = process.env.QV_SCREENSHOTS || path.join(repo, 'build/screenshots');

export const PHONE = 390;
export const DESKTOP = 1280;

// Markup the C++ component writes, which the site cannot change (its HTML
// is fixed by the component's own tests), left out of the accessibility
// check. Each with the reason it fails.
export const legacyMarkup = [
  // ListCourses writes the book icons as <img> without alt.
  '.qvCourses img',
  // The login form writes its captions as text beside the fields, not as labels.
  'form[name="qvTomeLoginForm"]',
  // The holdings form likewise: captions beside its fields and selects.
  '.qvRecord form',
  // The edit and add forms of a page likewise: each caption a line of text
  // above its field.
  '.qvPage form',
  // The reader's notes form: its caption is the text above the form.
  '.qvNotes form',
  // The upload form of a page's media files: "File 1:" beside each chooser.
  '.qvFiles form',
  // The picture tag an upload adds to a page's text has no alt text; the
  // author writes one when editing the page.
  '.qvPage p[align="center"] > img',
];

const axeSource = readFile(path.join(here, 'node_modules/axe-core/axe.min.js'), 'utf8');

// Starts `qvtome serve` on 127.0.0.1, a free port and a fresh data folder
// (the server creates and seeds the database there); resolves once the
// server answers. stop() ends it and removes the folder.
export async function startSite() {
  const data = await mkdtemp(path.join(os.tmpdir(), 'qvtome-browser-'));
  const args = ['serve', '--data', data, '--site', path.join(repo, 'site'),
                '--bind', '127.0.0.1', '--port', '0', '--threads', '2'];
  const child = spawn(binary, args, { stdio: ['ignore', 'pipe', 'pipe'] });
  let output = '';
  const ended = new Promise((resolve) => child.once('exit', resolve));
  const base = await new Promise((resolve, reject) => {
    child.stdout.on('data', (chunk) => {
      output += chunk;
      const serving = output.match(/ on (http:\/\/127\.0\.0\.1:\d+)\//);
      if (serving) resolve(serving[1]);
    });
    child.stderr.on('data', (chunk) => { output += chunk; });
    child.once('error', reject);
    ended.then((code) => reject(new Error(`qvtome serve ended (${code}):\n${output}`)));
  }).catch(async (error) => {
    await rm(data, { recursive: true, force: true });
    throw error;
  });
  // A test run that ends early leaves no server behind.
  const orphan = () => child.kill('SIGTERM');
  process.once('exit', orphan);
  const answer = await fetch(`${base}/`);
  if (answer.status !== 200) throw new Error(`${base}/ answered ${answer.status}`);
  return {
    base,
    url: (page) => `${base}/${page}`,
    async stop() {
      process.off('exit', orphan);
      if (child.exitCode === null) {
        child.kill('SIGTERM');
        await ended;
      }
      await rm(data, { recursive: true, force: true });
    },
  };
}

// Headless Chromium of the system. As root it runs without its sandbox.
export function launchBrowser() {
  const args = ['--disable-dev-shm-usage', '--no-first-run', '--disable-extensions'];
  if (process.getuid && process.getuid() === 0) args.push('--no-sandbox');
  return puppeteer.launch({
    executablePath: chromium,
    headless: true,
    args,
    defaultViewport: { width: DESKTOP, height: 900 },
  });
}

// A fresh site for test `t` and a visitor `name` of it, both gone again
// when the test ends.
export async function visitSite(t, browser, name) {
  const site = await startSite();
  t.after(() => site.stop());
  const visitor = await Visitor.open(browser, site, name);
  t.after(() => visitor.close());
  return visitor;
}

// A person at the site: a page in a context of its own.
export class Visitor {
  static async open(browser, site, name) {
    const context = await browser.createBrowserContext();
    const page = await context.newPage();
    return new Visitor(context, page, site, name);
  }

  constructor(context, page, site, name) {
    this.context = context;
    this.page = page;
    this.site = site;
    this.name = name;
    this.console = [];   // every console message, for a failure report
    this.problems = [];  // console errors and failed requests since the last check
    page.on('console', (message) => {
      const line = `${message.type()}: ${message.text()}`;
      this.console.push(line);
      if (message.type() === 'error') this.problems.push(`console ${line}`);
    });
    page.on('pageerror', (error) => {
      this.console.push(`pageerror: ${error.message}`);
      this.problems.push(`page error: ${error.message}`);
    });
    page.on('requestfailed', (request) => {
      this.problems.push(`request failed: ${request.url()} (${request.failure()?.errorText})`);
    });
    page.on('response', (response) => {
      if (response.status() >= 400) {
        this.problems.push(`response ${response.status()}: ${response.url()}`);
      }
    });
  }

  close() { return this.context.close(); }

  get url() { return this.page.url(); }

  // The address of this page relative to the site: "book.lp?id=4".
  get where() { return this.page.url().slice(this.site.base.length + 1); }

  // Runs the steps of a flow; a failure comes back with the address, the
  // console and a screenshot of what the visitor saw.
  async run(steps) {
    try {
      await steps(this);
    } catch (error) {
      let shot = '(no screenshot)';
      try {
        await mkdir(screenshots, { recursive: true });
        shot = path.join(screenshots, `FAILED-${this.name}.png`);
        await this.page.screenshot({ path: shot, fullPage: true });
      } catch (e) {
        shot = `(no screenshot: ${e.message})`;
      }
      error.message += `\n  url: ${this.url}\n  console:${this.console.map((l) => `\n    ${l}`).join('') || ' (empty)'}` +
                       `\n  screenshot: ${shot}`;
      throw error;
    }
  }

  async goto(page) {
    await this.page.goto(this.site.url(page), { waitUntil: 'load' });
  }

  // Clicks the link whose text contains `text` (inside `within`, the page
  // when not given) as a mouse would, and waits for the page it opens.
  async follow(text, within = 'body') {
    const link = await this.find('a', text, within);
    await Promise.all([this.page.waitForNavigation({ waitUntil: 'load' }), link.click()]);
  }

  // Clicks the element `selector` and waits for the page that follows.
  async press(selector) {
    await Promise.all([this.page.waitForNavigation({ waitUntil: 'load' }),
                       this.page.click(selector)]);
  }

  // Types into the field `selector` in place of what it held.
  async type(selector, text) {
    await this.page.click(selector);
    await this.page.keyboard.down('Control');
    await this.page.keyboard.press('KeyA');
    await this.page.keyboard.up('Control');
    await this.page.keyboard.press('Backspace');
    await this.page.keyboard.type(text);
  }

  // The first visible element `tag` inside `within` whose text contains `text`.
  async find(tag, text, within = 'body') {
    const handle = await this.page.evaluateHandle((tag, text, within) => {
      for (const scope of document.querySelectorAll(within)) {
        for (const element of scope.querySelectorAll(tag)) {
          if (element.textContent.includes(text) && element.getClientRects().length > 0) {
            return element;
          }
        }
      }
      return null;
    }, tag, text, within);
    const element = handle.asElement();
    if (!element) throw new Error(`no ${tag} "${text}" in ${within} on ${this.where}`);
    return element;
  }

  // The text a person reads in `selector` ("" when it is not there).
  async text(selector = 'body') {
    return this.page.$eval(selector, (e) => e.innerText).catch(() => '');
  }

  // The texts of the links in `selector`.
  async links(selector = 'body') {
    return this.page.$$eval(`${selector} a`, (links) => links.map((a) => a.innerText.trim()));
  }

  async logIn(user, password) {
    await this.follow('Log in', '.qvTopBar');
    await this.type('input[name="qvTomeUserID"]', user);
    await this.type('input[name="qvTomePassword"]', password);
    await this.press('form [type="submit"]');
  }

  // Looks at the page at phone and at desktop width: keeps a screenshot of
  // each as <name>-390.png and <name>-1280.png, and fails on sideways
  // scrolling at phone width, console errors, failed requests and serious
  // or critical accessibility violations outside the legacy markup.
  async check(name) {
    await mkdir(screenshots, { recursive: true });
    const found = [];
    const shots = [];
    const viewport = this.page.viewport();
    for (const width of [PHONE, DESKTOP]) {
      await this.page.setViewport({ width, height: width === PHONE ? 844 : 900 });
      await this.page.evaluate(() => new Promise((r) => requestAnimationFrame(() => r())));
      const shot = path.join(screenshots, `${name}-${width}.png`);
      shots.push(shot);
      await this.page.screenshot({ path: shot, fullPage: true });
      if (width === PHONE) {
        const wide = await this.page.evaluate(() => {
          const root = document.documentElement;
          if (root.scrollWidth <= root.clientWidth) return null;
          const over = [...document.body.querySelectorAll('*')]
            .filter((e) => e.getBoundingClientRect().right > root.clientWidth)
            .slice(0, 5)
            .map((e) => `<${e.tagName.toLowerCase()} class="${e.className}">`);
          return `${root.scrollWidth} > ${root.clientWidth}: ${over.join(' ')}`;
        });
        if (wide) found.push(`scrolls sideways at ${width} px: ${wide}`);
      }
      for (const v of await this.axe()) found.push(`axe at ${width} px: ${v}`);
    }
    await this.page.setViewport(viewport);
    found.push(...this.problems);
    this.problems = [];
    if (found.length > 0) {
      throw new Error(`${name} at /${this.where}:\n  ${found.join('\n  ')}\n  screenshots: ${shots.join(' ')}`);
    }
  }

  // The serious and critical violations axe-core finds, one line each.
  async axe() {
    if (!(await this.page.evaluate(() => typeof window.axe === 'object'))) {
      await this.page.evaluate(await axeSource);
    }
    const violations = await this.page.evaluate(async (exclude) => {
      const result = await window.axe.run(
        { include: [document], exclude: exclude.map((s) => [s]) },
        { resultTypes: ['violations'] });
      return result.violations
        .filter((v) => v.impact === 'serious' || v.impact === 'critical')
        .map((v) => `${v.id} (${v.impact}): ${v.help}; ${v.nodes.length} elements: ` +
                    v.nodes.slice(0, 3).map((n) => n.target.join(' ')).join(', '));
    }, legacyMarkup);
    return violations;
  }
}
