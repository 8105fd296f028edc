#!/usr/bin/python3
"""The leaderboard and a run's page in a real browser (Debian's headless Chromium through
chromium-driver): the submitted runs in score order, sorting by a mode and filtering by chip work,
Japanese labels are drawn with a Japanese face (not the boxes of a missing glyph), a hostile chip
name is text, and the pages fit the window. Screenshots go to the output folder.

Usage: browser_test.py <results-server> <output folder>
"""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import urllib.parse
import urllib.request

from selenium import webdriver
from selenium.common.exceptions import NoAlertPresentException
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By

HOSTILE = "<script>alert(1)</script>"
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


def escaped(text):
    """A value as the benchmark's address carries it: EUC-JP bytes, each percent-escaped."""
    return urllib.parse.quote(text.encode("euc_jp"), safe="")


def total_score(pc, scores):
    """The benchmark's score formula, to make result files the service accepts."""
    tested = [s for s in scores if s > 0]
    if not tested:
        return 0
    total = 5 * pc["g"] + 5 * pc["p"] + 20 * pc["c"] // 1600 + 10 * pc["f"] // 128 + 3 * (sum(tested) // len(tested))
    for levels in (pc["h"], pc["j"]):
        if levels and levels[-1] > 1:
            total += 5 * levels[-1]
    return total


def result_file(chip, rates):
    numbers = {"g": 8, "p": 8, "c": 3000, "f": 256, "h": [2, 4], "j": [2, 4, 8]}
    values = {"a": "Windows XP", "n": "東京電機", "o": "HX-Tower", "b": "Pentium 4 3.00GHz", "c": "3000",
              "d": "2048", "e": chip, "f": "256", "g": "8", "l": "4096-4096", "p": "8", "k": "OK", "i": "24-8",
              "h": " 2 4", "j": " 2 4 8", "s": "Software", "q": "1280-1024"}
    stats = {"frames": 300, "average_fps": 75.0, "min_frame_ms": 9.0, "max_frame_ms": 31.5,
             "low_1_percent_fps": 40.1, "low_0_1_percent_fps": 32.0}
    modes, scores = [], []
    for m, shot_rates in enumerate(rates, start=1):
        mode = {"mode": m, "tested": bool(shot_rates),
                "requested": {"width": 960, "height": 600, "windowed": True, "antialias": 1, "anisotropy": 0,
                              "description": "960 * 600  WindowMode  Antialias-none"}}
        score = sum(shot_rates)
        scores.append(score)
        if shot_rates:
            mode.update(ran=mode["requested"], score=score, frame_rate=score // 6, frames=stats,
                        shots=[dict(stats, shot=s + 1, rate=r) for s, r in enumerate(shot_rates)])
        modes.append(mode)
    return {"program": "hx21app benchmark", "started": "2026-12-08T21:53:37",
            "pc": {k: {"label": k, "value": v, "unit": ""} for k, v in values.items()},
            "modes": modes, "total_score": total_score(numbers, scores), "result_address": ""}


def start_server(binary, folder):
    log = open(os.path.join(folder, "server.log"), "w+")
    server = subprocess.Popen([binary, "--port", "0", "--db", "sqlite:" + os.path.join(folder, "results.db")],
                              stdout=log, stderr=subprocess.STDOUT)
    for _ in range(600):
        log.seek(0)
        found = re.search(r"serving (http://\S+?)/ ", log.read())
        if found:
            return server, found.group(1)
        if server.poll() is not None:
            break
        time.sleep(0.1)
    server.kill()
    log.seek(0)
    sys.exit("results-server did not start:\n" + log.read())


def submit(base, runs):
    for os_name, chip, cpu, modes, total in runs:
        query = "a=%s&e=%s&b=%s&q=1280-1024&m=%s&r=%d" % (escaped(os_name), escaped(chip), escaped(cpu),
                                                          "%20".join(map(str, modes)), total)
        with urllib.request.urlopen(base + "/benchmark/post_data.php?" + query) as answer:
            check(answer.status == 201, "submission %s answered %d" % (query, answer.status))
    request = urllib.request.Request(base + "/api/runs", method="POST",
                                     data=json.dumps(result_file("ラデオン 9800 PRO", [[80, 82, 78, 81, 79, 80], [],
                                                                                       [61, 60, 62, 59, 60, 58], []])).encode(),
                                     headers={"Content-Type": "application/json"})
    with urllib.request.urlopen(request) as answer:
        return json.load(answer)["id"]


def browser(folder):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for flag in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 "--disable-dev-shm-usage", "--window-size=1280,900", "--lang=ja",
                 "--user-data-dir=" + os.path.join(folder, "profile")):
        options.add_argument(flag)
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


def shot(driver, out, name):
    """The whole page as a PNG, the window stretched to the page's height."""
    height = driver.execute_script("return document.documentElement.scrollHeight")
    driver.set_window_size(1280, min(max(height + 140, 900), 4000))
    driver.save_screenshot(os.path.join(out, name + ".png"))
    driver.set_window_size(1280, 900)


def column(driver, index):
    return [cell.text for cell in driver.find_elements(By.CSS_SELECTOR, "table.runs tbody tr td:nth-child(%d)" % index)]


def japanese_faces():
    listing = subprocess.run(["fc-list", ":lang=ja", "family"], capture_output=True, text=True).stdout
    return {name.strip() for line in listing.splitlines() for name in line.split(",")}


def faces_of(driver, selector):
    """The font faces Chromium drew an element's text with (DevTools' platform fonts)."""
    driver.execute_cdp_cmd("DOM.enable", {})
    driver.execute_cdp_cmd("CSS.enable", {})
    root = driver.execute_cdp_cmd("DOM.getDocument", {})["root"]["nodeId"]
    node = driver.execute_cdp_cmd("DOM.querySelector", {"nodeId": root, "selector": selector})["nodeId"]
    fonts = driver.execute_cdp_cmd("CSS.getPlatformFontsForNode", {"nodeId": node})["fonts"]
    return {font["familyName"] for font in fonts}


def fits_window(driver):
    return driver.execute_script("return document.documentElement.scrollWidth <= window.innerWidth")


def labels_inside_picture(driver):
    return driver.execute_script("""
        return [...document.querySelectorAll('svg.distribution')].every(svg => {
            const box = svg.getBoundingClientRect();
            return [...svg.querySelectorAll('text')].every(t => {
                const r = t.getBoundingClientRect();
                return r.left >= box.left - 0.5 && r.right <= box.right + 0.5;
            });
        });""")


def no_alert(driver):
    try:
        driver.switch_to.alert
        return False
    except NoAlertPresentException:
        return True


def main():
    binary, out = sys.argv[1], sys.argv[2]
    os.makedirs(out, exist_ok=True)
    for old in os.listdir(out):
        if old.endswith(".png"):
            os.remove(os.path.join(out, old))
    folder = tempfile.mkdtemp(prefix="results-browser.")
    server, base = start_server(binary, folder)
    driver = None
    try:
        submit(base, [
            ("Windows XP", "RADEON 9800 PRO", "Pentium 4 3.00GHz", [75, 0, 52, 0], 1180),
            ("Windows XP", "GeForce FX 5900", "Athlon 64 3200+", [92, 60, 71, 40], 1460),
            ("Windows 2000", "GeForce FX 5900", "Pentium 4 2.40GHz", [70, 41, 55, 0], 1020),
            ("Windows XP", HOSTILE, "Celeron 2.0GHz", [30, 0, 22, 0], 640),
            ("Windows Me", "内蔵グラフィックス", "Pentium III 1.0GHz", [18, 0, 0, 0], 420),
        ])
        driver = browser(folder)

        driver.get(base + "/")
        totals = [int(t.replace(",", "")) for t in column(driver, 2)]
        check(len(totals) == 6, "six runs on the leaderboard, saw %d" % len(totals))
        check(totals == sorted(totals, reverse=True), "leaderboard in score order: %s" % totals)
        check(HOSTILE in column(driver, 7), "the hostile chip name is shown as text")
        check(not driver.find_elements(By.TAG_NAME, "script") and no_alert(driver), "no script ran")
        faces = japanese_faces()
        for selector in ("h1", "table.runs thead th:nth-child(7)", "header.top .brand"):
            used = faces_of(driver, selector)
            check(used and used <= faces, "%s drawn with Japanese faces %s (have %s)" % (selector, used, faces))
        check(fits_window(driver), "the leaderboard fits a 1280-pixel window")
        check(labels_inside_picture(driver), "every label of the distribution lies inside its picture")
        shot(driver, out, "leaderboard")

        driver.find_element(By.LINK_TEXT, "モード1").click()
        check("sort=mode1" in driver.current_url, "the mode 1 heading sorts by mode 1")
        rates = [int(r) for r in column(driver, 3)]
        check(rates == sorted(rates, reverse=True) and rates[0] == 92, "sorted by mode 1's rate: %s" % rates)
        shot(driver, out, "leaderboard_mode1")

        driver.get(base + "/")
        chip = driver.find_element(By.NAME, "chip")
        chip.send_keys("GeForce FX 5900")
        chip.submit()
        chips = column(driver, 7)
        check(chips == ["GeForce FX 5900"] * 2, "the chip filter keeps its two runs: %s" % chips)
        check("条件に合うもの 2 件" in driver.page_source, "the filter says how many runs match")
        shot(driver, out, "leaderboard_filtered")

        driver.get(base + "/")
        driver.find_element(By.LINK_TEXT, "内蔵グラフィックス").click()
        check(column(driver, 7) == ["内蔵グラフィックス"], "a Japanese chip name filters by clicking it")

        driver.get(base + "/")
        driver.find_element(By.LINK_TEXT, "1,460").click()
        check(re.search(r"/runs/\d+$", driver.current_url), "the total opens the run's page")
        text = driver.find_element(By.TAG_NAME, "main").text
        check("全 6 件中 1 位" in text, "the run's rank among all runs")
        check("同じVideoチップ（GeForce FX 5900）の 2 件中 1 位" in text, "the run's rank among its chip's runs")
        check(len(driver.find_elements(By.CSS_SELECTOR, "svg.distribution rect.bar.marked")) == 1,
              "the distribution marks the run")
        used = faces_of(driver, "table.pc tbody tr:nth-child(2) th")
        check(used and used <= faces, "PCメーカー drawn with Japanese faces %s" % used)
        check(fits_window(driver), "the run's page fits a 1280-pixel window")
        check(labels_inside_picture(driver), "every label of the run's distribution lies inside its picture")
        shot(driver, out, "run")

        driver.get(base + "/")
        driver.find_element(By.LINK_TEXT, HOSTILE).click()
        check(HOSTILE in driver.find_element(By.TAG_NAME, "main").text and no_alert(driver),
              "the hostile chip's filtered page shows the name as text")

        driver.get(base + "/api/runs?limit=1")
        best = json.loads(driver.find_element(By.TAG_NAME, "body").text)["runs"][0]["id"]
        listed = json.loads(urllib.request.urlopen(base + "/api/runs?chip=" + urllib.parse.quote("ラデオン 9800 PRO")).read())
        driver.get("%s/runs/%d" % (base, listed["runs"][0]["id"]))
        main_text = driver.find_element(By.TAG_NAME, "main").text
        check("フレームの記録" in main_text and "ショット 6" in main_text, "a run sent as a result file shows its shots")
        check(best != listed["runs"][0]["id"], "the result file's run is not the best")
        shot(driver, out, "run_details")

        submit(base, [("Windows XP", "速いカード", "Core i9", [101929, 0, 0, 0], 1834757)])
        driver.get(base + "/")
        check(labels_inside_picture(driver), "a seven-digit score's label lies inside the distribution")

        driver.get(base + "/benchmark/post_data.php?a=%A9%A1&r=5")
        check("invalid EUC-JP sequence %A9%A1" in driver.page_source, "a refused address says why")
        shot(driver, out, "refused")
    finally:
        if driver:
            driver.quit()
        server.terminate()
        server.wait(30)
        shutil.rmtree(folder, ignore_errors=True)
    print("browser: %d checks failed; screenshots in %s" % (len(failures), out))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
