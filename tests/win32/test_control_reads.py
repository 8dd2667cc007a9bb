"""Properties the script reads back from real control windows: a top-level
window's visible reads 1 or 0, and a button's seldownstate is a picture
(filled from the normal one when missing) that never replaces its text."""
import harness
from harness import ProgramTest, wait_until

# Each check that fails runs a label whose message box names it; all passing
# ends in the box "Checked". The bitmap is named 77 so that a picture's name
# reads as a number.
READS = """
begin init
  window name=main text="Reads Test" left=100 top=80 width=300 height=200 resize=0 close=exit
  bitmap name=77 width=20 height=20
  button name=plain parent=main left=0 top=0 width=50 height=50 text=42 normalstate=77
  button name=sel parent=main left=60 top=0 width=50 height=50 text=43 normalstate=77 seldownstate=77
end
begin postInit
  shown=(main.visible)
  hide name=main
  hidden=(main.visible)
  show name=main
  if name=($shown*10+$hidden-10) call=visibleWrong
  if name=(sel.text-43) call=textLost
  if name=(plain.text-42) call=textLost
  if name=(plain.seldownstate-77) call=stateNotFilled
  messagebox name=Checked text=done
end
begin visibleWrong
  messagebox name=VisibleWrong text=$shown
end
begin textLost
  messagebox name=TextLost text=$sel.text
end
begin stateNotFilled
  messagebox name=StateNotFilled text=x
end
"""

OUTCOMES = ("Checked", "VisibleWrong", "TextLost", "StateNotFilled")


class ControlReadsTest(ProgramTest):
    def test_visible_and_selected_down_read_as_the_script_expects(self):
        program = self.start(files={"menu.scr": READS})
        program.wait_trace("main loop", timeout=60)

        def outcome():
            for title in OUTCOMES:
                if program.windows(title):
                    return title
            return None

        self.assertEqual(wait_until(outcome, 60, "a check's message box"), "Checked")
        program.post(program.wait_window("Checked").hwnd, 0x0010)  # WM_CLOSE
        program.post(program.wait_window("Reads Test", "wnd").hwnd, 0x0010)
        self.assertEqual(program.wait_exit(), 0)


if __name__ == "__main__":
    harness.main()
