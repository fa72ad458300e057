// Headless Chromium over the DevTools pipe: loads the extension, opens a page with a link
// and runs the extension's menu action for it, as a click on "Download with Tandu" would.
// usage: node devtools.mjs EXTENSION_DIR PAGE_URL [chromium flags...]
import { spawn } from "node:child_process";

const [extension, page, ...flags] = process.argv.slice(2);
const args = ["--headless", "--remote-debugging-pipe", `--load-extension=${extension}`, ...flags];
const browser = spawn("chromium", [...args, "about:blank"], { stdio: ["ignore", "ignore", "inherit", "pipe", "pipe"] });
const pending = new Map();
let received = Buffer.alloc(0);
browser.stdio[4].on("data", (data) => {
  received = Buffer.concat([received, data]);
  for (let end; (end = received.indexOf(0)) >= 0; received = received.subarray(end + 1)) {
    const message = JSON.parse(received.subarray(0, end).toString());
    pending.get(message.id)?.(message);
  }
});
const send = (method, params = {}, sessionId = undefined) =>
  new Promise((resolve, reject) => {
    const id = pending.size + 1;
    pending.set(id, (m) => (m.error ? reject(new Error(`${method}: ${m.error.message}`)) : resolve(m.result)));
    browser.stdio[3].write(JSON.stringify({ id, method, params, sessionId }) + "\0");
  });
const pause = () => new Promise((resolve) => setTimeout(resolve, 200));
// Pages and workers need a moment to start: evaluates until there is a value.
async function evaluate(sessionId, expression) {
  for (let tries = 0; ; ++tries, await pause()) {
    const params = { expression, awaitPromise: true, returnByValue: true };
    const { result, exceptionDetails } = await send("Runtime.evaluate", params, sessionId);
    if (!exceptionDetails && result.value !== undefined) return result.value;
    if (tries === 50) throw new Error(`${expression}: ${exceptionDetails?.exception?.description}`);
  }
}
const attach = async (targetId) => (await send("Target.attachToTarget", { targetId, flatten: true })).sessionId;

try {
  let worker;
  for (let tries = 0; !worker && tries < 75; ++tries, await pause()) {
    const { targetInfos } = await send("Target.getTargets");
    worker = targetInfos.find((t) => t.type === "service_worker" && t.url.startsWith("chrome-extension:"));
  }
  if (!worker) throw new Error("the extension's service worker never started");
  const link = await evaluate(await attach((await send("Target.createTarget", { url: page })).targetId),
    'document.querySelector("a")?.href');
  const background = await attach(worker.targetId);
  // The menu entry exists: updating an unknown one fails.
  await evaluate(background, 'chrome.contextMenus.update("download-with-tandu", {}).then(() => true)');
  const refused = await evaluate(background, 'sendToTandu({ linkUrl: "javascript:void 0" })');
  const answer = await evaluate(background, `sendToTandu({ linkUrl: ${JSON.stringify(link)} })`);
  console.log(JSON.stringify({ extension: new URL(worker.url).host, link, refused, answer }));
} catch (error) {
  console.error(`devtools: ${error.message}`);
  process.exitCode = 1;
} finally {
  browser.on("exit", () => process.exit());
  browser.kill();
}
