# The two commands of the README; the work is in tools/.
.PHONY: run test bench dist

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
