# Writes what comes from the batch tool's declarations, each part as tarnwick-cli-reference writes
# it: with TEMPLATE, the manual page with its @SYNOPSIS@, @COMMANDS@ and @OPTIONS@ filled in;
# without, the bash completion. cmake -DREFERENCE=PROGRAM [-DTEMPLATE=PAGE.in
# -DPROJECT_VERSION=V] -DOUTPUT=FILE -P WriteFromDeclarations.cmake
function(reference part variable)
    execute_process(COMMAND ${REFERENCE} ${part} OUTPUT_VARIABLE text RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${REFERENCE} ${part} failed: ${result}")
    endif()
    string(REGEX REPLACE "\n$" "" text "${text}")
    set(${variable} "${text}" PARENT_SCOPE)
endfunction()

if(TEMPLATE)
    reference(synopsis SYNOPSIS)
    reference(commands COMMANDS)
    reference(options OPTIONS)
    configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
else()
    reference(bash-completion completion)
    file(WRITE ${OUTPUT} "${completion}\n")
endif()
