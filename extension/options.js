"use strict";
// The extension's options. Each access is asked for when the option that
// needs it is turned on, from the click itself as browsers require.

const api = globalThis.browser ?? globalThis.chrome;
const NEEDS = {
  session: { permissions: ["cookies"], origins: ["<all_urls>"] },
  catch: { permissions: ["downloads", "cookies"], origins: ["<all_urls>"] },
};
const DEFAULTS = { session: false, catch: false, catchMegabytes: 50, catchTypes: "zip iso 7z rar tar gz xz dmg exe msi deb rpm apk mp4 mkv" };
const note = document.getElementById("note");

async function load() {
  const stored = { ...DEFAULTS, ...(await api.storage.local.get(Object.keys(DEFAULTS))) };
  for (const key of ["session", "catch"]) {
    // An access taken back in the browser's settings turns the option off.
    document.getElementById(key).checked = stored[key] && (await api.permissions.contains(NEEDS[key]));
  }
  document.getElementById("catchMegabytes").value = stored.catchMegabytes;
  document.getElementById("catchTypes").value = stored.catchTypes;
}

for (const key of ["session", "catch"]) {
  const box = document.getElementById(key);
  box.addEventListener("change", async () => {
    note.textContent = "";
    let on = box.checked;
    if (on) {
      try {
        on = await api.permissions.request(NEEDS[key]);
      } catch (error) {
        on = false;
        note.textContent = error.message;
      }
      if (!on && !note.textContent) note.textContent = "Without that access the option stays off.";
    }
    box.checked = on;
    await api.storage.local.set({ [key]: on });
  });
}

document.getElementById("catchMegabytes").addEventListener("change", (event) => {
  const megabytes = Math.max(0, Number(event.target.value) || 0);
  event.target.value = megabytes;
  api.storage.local.set({ catchMegabytes: megabytes });
});
document.getElementById("catchTypes").addEventListener("change", (event) => {
  api.storage.local.set({ catchTypes: event.target.value });
});

load();
