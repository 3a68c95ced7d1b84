#!/bin/sh
# Runs one generator check or Python self-test from the source tree.
#   run_tool.sh PYTHON SOURCE_DIR NEEDS_SHARED script-and-arguments...
# With NEEDS_SHARED=1 the check reads mapping files that are not kept in the
# repository; when neither ZUUC_RESTRICTED_MAPPINGS nor the shared data folder
# beside the checkout is there, the test is skipped (exit 77).
python=$1; source_dir=$2; needs_shared=$3; shift 3
if [ "$needs_shared" = 1 ] && [ -z "$ZUUC_RESTRICTED_MAPPINGS" ] &&
   [ ! -d "$source_dir/../shared/data/mappings" ]; then
    echo "skipped: the restricted mapping files are not available"
    exit 77
fi
cd "$source_dir" && exec "$python" "$@"
