# Precompiled headers. A Qt source file here spends about as long reading Qt's headers as
# compiling its own code, and writing a precompiled header costs several source files' worth,
# so each one is made once per build and shared: every library and executable that sees those
# headers the same way (the same Qt modules and QT_* switches, the same compile options) reuses
# the header of one small owner library. A precompiled header is valid only under the macros and
# options it was made with, and GCC's -Winvalid-pch (an error under MIRELO_WERROR) says when one
# is not. Qt Test's and GoogleTest's headers stay out: few sources read them, and those spend
# their time on the code the test macros expand to.
#
# The header is included ahead of every source file, so a build with it cannot notice a missing
# #include; -DMIRELO_PCH=OFF builds without, as the test run's first build does.

if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  set(mirelo_pch_default ON)
else()
  # Clang refuses, rather than ignores, a header made under different macros.
  set(mirelo_pch_default OFF)
endif()
option(MIRELO_PCH "Precompile the Qt and standard headers the sources share"
       ${mirelo_pch_default})

# Below this many source files a kind of target keeps its headers uncompiled: making the
# precompiled header would cost more than it saves.
set(mirelo_pch_min_sources 8)

set(mirelo_pch_std <algorithm> <array> <chrono> <cstdint> <functional> <memory> <optional>
                   <stdexcept> <string> <string_view> <utility> <vector>)
set(mirelo_pch_Core <QByteArray> <QCoreApplication> <QDir> <QFile> <QFileInfo> <QObject>
                    <QPointer> <QSettings> <QString> <QStringList> <QTimer>)
set(mirelo_pch_Widgets <QAction> <QApplication> <QKeyEvent> <QKeySequence> <QLabel> <QLineEdit>
                       <QListWidget> <QMenu> <QMessageBox> <QPainter> <QPlainTextEdit>
                       <QPushButton> <QScrollBar> <QTableView> <QTextBlock> <QVBoxLayout>
                       <QWidget>)

# What decides how a target sees the shared headers: the Qt modules it reaches through its
# links, and the QT_* definitions it and its libraries set.
function(mirelo_pch_usage target out_modules out_definitions)
  set(modules "")
  set(definitions "")
  get_target_property(own ${target} COMPILE_DEFINITIONS)
  set(seen ${target})
  get_target_property(queue ${target} LINK_LIBRARIES)
  if(NOT queue)
    set(queue "")
  endif()
  while(queue)
    list(POP_FRONT queue link)
    string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
    if(link IN_LIST seen OR NOT TARGET ${link})
      continue()
    endif()
    list(APPEND seen ${link})
    if(link MATCHES "^Qt6::(Core|Gui|Widgets)$")
      list(APPEND modules ${CMAKE_MATCH_1})
    endif()
    get_target_property(imported ${link} IMPORTED)
    if(NOT imported)
      get_target_property(interface_definitions ${link} INTERFACE_COMPILE_DEFINITIONS)
      if(interface_definitions)
        list(APPEND own ${interface_definitions})
      endif()
    endif()
    get_target_property(interface ${link} INTERFACE_LINK_LIBRARIES)
    if(interface)
      list(APPEND queue ${interface})
    endif()
  endwhile()
  foreach(definition IN LISTS own)
    if(definition MATCHES "^QT_")
      list(APPEND definitions ${definition})
    endif()
  endforeach()
  list(REMOVE_DUPLICATES modules)
  list(SORT modules)
  list(REMOVE_DUPLICATES definitions)
  list(SORT definitions)
  set(${out_modules} ${modules} PARENT_SCOPE)
  set(${out_definitions} ${definitions} PARENT_SCOPE)
endfunction()

# The libraries and executables defined in dir and the folders below it.
function(mirelo_pch_targets dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir IN LISTS subdirs)
    mirelo_pch_targets(${subdir} below)
    list(APPEND targets ${below})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

# Called once, after every target is defined.
function(mirelo_precompile_headers)
  if(NOT MIRELO_PCH)
    return()
  endif()
  mirelo_pch_targets(${PROJECT_SOURCE_DIR} targets)
  set(kinds "")
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    get_target_property(headers ${target} PRECOMPILE_HEADERS)
    get_target_property(reused ${target} PRECOMPILE_HEADERS_REUSE_FROM)
    if(NOT type MATCHES "^(STATIC_LIBRARY|SHARED_LIBRARY|OBJECT_LIBRARY|EXECUTABLE)$"
       OR headers OR reused)
      continue()
    endif()
    get_target_property(sources ${target} SOURCES)
    list(FILTER sources INCLUDE REGEX "\\.cpp$")
    list(LENGTH sources count)
    if(count EQUAL 0)
      continue()
    endif()
    mirelo_pch_usage(${target} modules definitions)
    if(NOT modules)
      continue()
    endif()
    get_target_property(options ${target} COMPILE_OPTIONS)
    if(NOT options)
      set(options "")
    endif()
    string(SHA1 kind "${modules}|${definitions}|${options}")
    string(SUBSTRING ${kind} 0 8 kind)
    if(NOT kind IN_LIST kinds)
      list(APPEND kinds ${kind})
      set(modules_${kind} ${modules})
      set(definitions_${kind} ${definitions})
      set(options_${kind} "${options}")
      set(users_${kind} "")
      set(count_${kind} 0)
    endif()
    list(APPEND users_${kind} ${target})
    math(EXPR count_${kind} "${count_${kind}} + ${count}")
  endforeach()

  set(dir ${PROJECT_BINARY_DIR}/precompiled)
  foreach(kind IN LISTS kinds)
    if(count_${kind} LESS mirelo_pch_min_sources)
      continue()
    endif()
    set(headers ${mirelo_pch_std})
    set(links "")
    foreach(module IN LISTS modules_${kind})
      list(APPEND links Qt6::${module})
      if(module STREQUAL Gui)
        continue()  # its headers come with the widgets'
      endif()
      list(APPEND headers ${mirelo_pch_${module}})
    endforeach()
    set(owner mirelo_pch_${kind})
    file(CONFIGURE OUTPUT ${dir}/${owner}.cpp CONTENT "// Owns a precompiled header.\n")
    add_library(${owner} OBJECT ${dir}/${owner}.cpp)
    target_link_libraries(${owner} PRIVATE ${links})
    target_compile_definitions(${owner} PRIVATE ${definitions_${kind}})
    set_target_properties(${owner} PROPERTIES COMPILE_OPTIONS "${options_${kind}}")
    target_precompile_headers(${owner} PRIVATE ${headers})
    message(VERBOSE "${owner} (${modules_${kind}}; ${definitions_${kind}}): ${users_${kind}}")
    foreach(target IN LISTS users_${kind})
      target_precompile_headers(${target} REUSE_FROM ${owner})
    endforeach()
  endforeach()
endfunction()
