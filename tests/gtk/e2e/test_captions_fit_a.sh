#!/usr/bin/env bash
# Every caption and page text fits its control, with a right margin, in
# hy az bg zh en fr ka de es hu it
# (the other languages are in the other half of this test).
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/captions_fit.sh"
e2e_init captions_fit_a
fit_languages hy az bg zh en fr ka de es hu it
note "passed"
