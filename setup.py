"""The wheel: the module ravlinpath with the library's sources compiled in and
the C++ runtime linked privately, so that it needs nothing but the C library,
in one abi3 wheel for every CPython from 3.9 on. The CMake build, and so the
Debian package, links the module against the shared library instead."""

import re
from glob import glob
from pathlib import Path

from setuptools import Extension, setup

version = re.search(r"project\(ravlinpath VERSION ([0-9.]+)", Path("CMakeLists.txt").read_text())[1]

# The library's flags that matter for size and start-up (CMakeLists.txt);
# -g0 overrides the interpreter's -g, which a wheel would only carry.
module = Extension(
    "ravlinpath.__init__",
    sources=["python/module.cpp", *sorted(glob("lib/*.cpp"))],
    depends=[*glob("include/ravlinpath/*.h"), *glob("lib/*.h"), "python/wheel.map"],
    include_dirs=["include", "lib"],
    define_macros=[("Py_LIMITED_API", "0x03090000"), ("_FILE_OFFSET_BITS", "64"), ("RAVLINPATH_VERSION", f'"{version}"')],
    extra_compile_args=["-std=c++20", "-O2", "-g0", "-fvisibility=hidden", "-ffunction-sections", "-fdata-sections"],
    extra_link_args=["-static-libstdc++", "-static-libgcc", "-Wl,--gc-sections", "-Wl,--version-script=python/wheel.map"],
    language="c++",
    py_limited_api=True,
)

setup(
    version=version,
    packages=["ravlinpath"],
    package_dir={"": "python"},
    package_data={"ravlinpath": ["__init__.pyi", "py.typed"]},
    ext_modules=[module],
    options={"build": {"build_base": "build-wheel"}, "bdist_wheel": {"py_limited_api": "cp39"}},
)
