"""Adds up the CTest results of several build folders into one closing line, and lists every
test case that skipped itself, with its reason, so that a skip never passes unseen."""
import re
import sys
from pathlib import Path

passed = failed = skipped = 0
skipped_cases = []
for folder in sys.argv[1:]:
    # CTest writes its last results as Testing/Temporary/LastTest*.log; the per-test status comes
    # from the cost data file, which has no failures. Read the log instead.
    log = Path(folder, "Testing", "Temporary", "LastTest.log")
    if not log.exists():
        print(f"summary: no results in {folder}")
        failed += 1
        continue
    lines = log.read_text(errors="replace").splitlines()
    reason = ""
    for i, line in enumerate(lines):
        if line == "Test Passed.":
            passed += 1
        elif line.startswith("Test Failed") or line == "Test Not Run.":
            failed += 1
        elif line.startswith("Test Skipped") or line == "Test Skipped.":
            skipped += 1
        # GoogleTest: "<file>:<line>: Skipped", the reason, then "[  SKIPPED ] Suite.Case (n ms)".
        elif line.endswith(": Skipped") and i + 1 < len(lines):
            reason = lines[i + 1]
        else:
            m = re.match(r"\[  SKIPPED \] (\S+) \(\d+ ms\)$", line)
            if m:
                skipped_cases.append((m.group(1), reason))
                reason = ""
for case, why in skipped_cases:
    print(f"skipped case: {case}: {why}")
print(f"{passed} passed, {failed} failed, {skipped} skipped"
      + (f", {len(skipped_cases)} test cases skipped themselves" if skipped_cases else ""))
sys.exit(1 if failed else 0)
