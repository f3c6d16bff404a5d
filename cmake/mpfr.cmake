# MPFR (with GMP under it), which the checks of the battle's trigonometry
# compare with: the interface target kelvarin_mpfr. Debian: libmpfr-dev.
if(NOT TARGET kelvarin_mpfr)
  find_path(MPFR_INCLUDE_DIR mpfr.h REQUIRED)
  find_library(MPFR_LIBRARY mpfr REQUIRED)
  find_library(GMP_LIBRARY gmp REQUIRED)
  add_library(kelvarin_mpfr INTERFACE)
  target_include_directories(kelvarin_mpfr INTERFACE ${MPFR_INCLUDE_DIR})
  target_link_libraries(kelvarin_mpfr INTERFACE ${MPFR_LIBRARY} ${GMP_LIBRARY})
endif()
