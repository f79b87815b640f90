# Sourced by the sanitizer stages: configures a Debug tree without benchmarks in folder $1, with
# compiler flags $2 and linker flags $3.
configure_sanitized_tree() {
  local dir=$1 flags="$2 -fno-omit-frame-pointer" link=$3
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Debug -DQ9_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_C_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$link" >/dev/null
}
