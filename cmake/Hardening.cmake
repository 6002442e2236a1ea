# Flags from the environment and the hardening Debian asks of a packaged game.
#
# CMake takes CXXFLAGS and LDFLAGS from the environment at the first configure
# by itself, but never CPPFLAGS; it is kept here the same way, so that flags
# from dpkg-buildflags reach every compile. On top of them come the stack
# protector, stack-clash protection, control-flow protection where the compiler
# has it, and _FORTIFY_SOURCE in optimised builds whose flags do not name it.

include(CheckCXXCompilerFlag)

set(VOLLIX_CPPFLAGS "$ENV{CPPFLAGS}" CACHE STRING
  "Preprocessor flags for every compile (taken from CPPFLAGS at the first configure)")
separate_arguments(vollix_cppflags UNIX_COMMAND "${VOLLIX_CPPFLAGS}")
add_compile_options(${vollix_cppflags})

# Adds a compile option when the compiler accepts it (GCC has -fcf-protection only on x86).
function(vollix_add_flag_if_known flag var)
  check_cxx_compiler_flag(${flag} ${var})
  if(${var})
    add_compile_options(${flag})
  endif()
endfunction()

vollix_add_flag_if_known(-fstack-protector-strong VOLLIX_HAS_STACK_PROTECTOR)
vollix_add_flag_if_known(-fstack-clash-protection VOLLIX_HAS_STACK_CLASH)
vollix_add_flag_if_known(-fcf-protection VOLLIX_HAS_CF_PROTECTION)

# The fortified calls work only when optimising: the last -O option of the
# flags that reach the compiler decides, and none means -O0. Under the
# sanitizers they would only hide from them what they check.
string(TOUPPER "${CMAKE_BUILD_TYPE}" vollix_config)
set(vollix_flags " ${CMAKE_CXX_FLAGS} ${CMAKE_CXX_FLAGS_${vollix_config}} ${VOLLIX_CPPFLAGS}")
string(REGEX MATCHALL " -O[^ ]*" vollix_levels "${vollix_flags}")
list(POP_BACK vollix_levels vollix_level)
if(vollix_level AND NOT vollix_level MATCHES "-O0$" AND NOT vollix_flags MATCHES "_FORTIFY_SOURCE"
   AND NOT VOLLIX_SANITIZE)
  add_compile_definitions(_FORTIFY_SOURCE=2)
endif()
