# The two commands of the README; the work is in tools/.
.PHONY: run test bench dist fuzz

run:
	sh tools/install-deps.sh
	sh tools/run.sh

test:
	sh tools/install-deps.sh
	sh tools/with-display.sh sh tools/test-all.sh

bench:
	sh tools/install-deps.sh
	sh tools/with-display.sh sh tools/bench.sh

dist:
	sh tools/install-deps.sh
	sh tools/dist.sh

# Each fuzz target for FUZZ_SECONDS (300 unless set); findings in build/fuzz/findings/.
fuzz:
	sh tools/install-deps.sh
	sh tools/fuzz.sh
