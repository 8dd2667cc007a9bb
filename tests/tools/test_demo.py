"""The demo set (demo/), natively through lumavine-tool: its show files are
what its JSON sources make, every file they name is in the set, and its script
starts the start screen, or only the show stage when the program runs as a
screen saver."""
import glob
import json
import os
import shutil
import sys
import unittest

import tooltest
from tooltest import run

DEMO = None  # the demo folder


def sources():
    """name -> parsed JSON of every show source (not the menu)."""
    found = {}
    for path in sorted(glob.glob(os.path.join(DEMO, "shows-src", "*.json"))):
        name = os.path.splitext(os.path.basename(path))[0]
        if name != "menudef":
            with open(path) as f:
                found[name] = json.load(f)
    return found


def objects(output):
    """The --dump lines of a script run as name -> (type, text)."""
    rows = [line.split("\t") for line in output.decode("latin-1").splitlines()]
    return {row[0]: (row[1], row[2]) for row in rows if len(row) == 3}


class DemoSetTest(tooltest.ToolTest):
    def test_show_files_are_what_their_sources_make(self):
        made = [("show-make", name + ".json", name) for name in sources()]
        made.append(("menu-make", "menudef.json", "menudef"))
        for command, source, target in made:
            with self.subTest(target=target):
                self.ok(command, os.path.join(DEMO, "shows-src", source), self.path(target))
                self.assertTrue(self.read(target) == self.read(DEMO, target), f"{target} is older than its source")

    def test_the_set_holds_the_shows_that_show_0_counts(self):
        shows = sources()
        count = shows["slyde0"]["further_shows"] + 1
        self.assertGreaterEqual(count, 3)
        self.assertEqual(sorted(n for n in shows if n != "intro"), [f"slyde{i}" for i in range(count)])

    def test_every_file_the_shows_name_is_in_the_set(self):
        named = set()
        for show in sources().values():
            named.update(s["file"] for s in show.get("sounds", []))
            for cell in show["cells"]:
                if cell.get("has_image"):
                    named.add(cell["image"])
                if cell.get("sound", {}).get("file"):
                    named.add(cell["sound"]["file"])
        with open(os.path.join(DEMO, "shows-src", "menudef.json")) as f:
            named.add(json.load(f)["background"])
        missing = [n for n in sorted(named) if not os.path.isfile(os.path.join(DEMO, n))]
        self.assertEqual(missing, [])
        self.assertTrue(os.path.isdir(os.path.join(DEMO, sources()["slyde0"]["mask_folder"])))


class DemoScriptTest(tooltest.ToolTest):
    """The script in a copy of the set, with a stand-in for what the program
    defines before init: screen_saver "1" full screen, "2" the preview."""

    def setUp(self):
        super().setUp()
        shutil.copy(os.path.join(DEMO, "menu.scr"), self.root)

    def run_labels(self, *labels, screen_saver=None):
        if screen_saver is not None:
            self.write("standin.scr", f'begin standIn\n    screen_saver="{screen_saver}"\nend\n')
            labels = ("standIn",) + labels
        args = [a for label in labels for a in ("--label", label)]
        r = run("script", self.root, "--lint", "--dump", *args)
        self.assertEqual(r.returncode, 0, r.stdout + r.stderr)  # lint findings make it 1
        return objects(r.stdout)

    def test_the_program_starts_on_the_start_screen_and_a_screen_saver_only_on_the_stage(self):
        for screen_saver in (None, "0", "1", "2"):
            with self.subTest(screen_saver=screen_saver):
                made = self.run_labels("init", screen_saver=screen_saver)
                if screen_saver in (None, "0"):
                    self.assertEqual(made["main"][0], "window")
                    self.assertNotIn("stage", made)
                else:
                    self.assertNotIn("main", made)
                    self.assertEqual(made["viewer"], ("viewer", "0,0,1024,768"))  # the tool's screen

    def test_play_the_shows_opens_a_stage_that_is_all_viewer(self):
        made = self.run_labels("init", "playShows")
        self.assertEqual(made["stage"][0], "window")
        self.assertEqual(made["viewer"], ("viewer", "0,0,800,600"))


if __name__ == "__main__":
    tooltest.TOOL, DEMO = sys.argv[1], sys.argv[2]
    unittest.main(argv=sys.argv[:1] + sys.argv[3:])
