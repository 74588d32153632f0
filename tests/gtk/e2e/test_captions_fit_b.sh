#!/usr/bin/env bash
# Every caption and page text fits its control, with a right margin, in
# kk lv lt pl ro ru tr uk vi ar tk
# (the other languages are in the other half of this test).
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/captions_fit.sh"
e2e_init captions_fit_b
fit_languages kk lv lt pl ro ru tr uk vi ar tk
note "passed"
