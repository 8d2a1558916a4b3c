# Settings the build scripts share, sourced by them: $jobs, the number of
# parallel compilations (MVR_JOBS, else one per core), and $launcher, the
# CMake argument that puts ccache in front of the compiler where it is installed.
jobs=${MVR_JOBS:-$(nproc 2>/dev/null || echo 2)}
launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
