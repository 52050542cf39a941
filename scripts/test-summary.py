"""Adds up the CTest results of several build folders into one closing line."""
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

passed = failed = skipped = 0
for folder in sys.argv[1:]:
    # CTest writes its last results as Testing/Temporary/LastTest*.log; the per-test status comes
    # from the cost data file, which has no failures. Read the log instead.
    log = Path(folder, "Testing", "Temporary", "LastTest.log")
    if not log.exists():
        print(f"summary: no results in {folder}")
        failed += 1
        continue
    for line in log.read_text(errors="replace").splitlines():
        if line == "Test Passed.":
            passed += 1
        elif line.startswith("Test Failed") or line == "Test Not Run.":
            failed += 1
        elif line.startswith("Test Skipped") or line == "Test Skipped.":
            skipped += 1
print(f"{passed} passed, {failed} failed, {skipped} skipped")
sys.exit(1 if failed else 0)
