#pragma once
// What every Office stand-in program starts from (tests only): the frame's pieces, the server,
// its settings and journal, the dispatch objects, its files and LibreOffice, and the Unix
// helpers they share, under short names. A stand-in's own file then says
// `using namespace quorallion::standin;`.
#include "office/dispatch_object.h"
#include "office/journal.h"
#include "office/libreoffice.h"
#include "office/standin_files.h"
#include "office/standin_server.h"
#include "office/standin_settings.h"
#include "support/unix_shell.h"
#include "support/utf8.h"

namespace standin = quorallion::standin;
namespace testing = quorallion::testing;
