# One warning set for every target of the project.
function(quorvel_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4)
    if(QUORVEL_WERROR)
      target_compile_options(${target} PRIVATE /WX)
    endif()
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
                                              -Wnon-virtual-dtor -Wcast-align
                                              -Woverloaded-virtual
                                              -Wimplicit-fallthrough)
    if(QUORVEL_WERROR)
      target_compile_options(${target} PRIVATE -Werror)
    endif()
  endif()
endfunction()
