#pragma once
// The five calls of Ghostscript's published interface that QuorallionPdf makes, declared from
// its documentation. Linked at load time through an import library of gsdll64.dll made from
// gsdll64.def, so that QuorallionPdf does not load without Ghostscript.
#include <windows.h>

extern "C" {

int WINAPI gsapi_new_instance(void** instance, void* callerHandle);
void WINAPI gsapi_delete_instance(void* instance);
int WINAPI gsapi_set_arg_encoding(void* instance, int encoding);
int WINAPI gsapi_init_with_args(void* instance, int argc, char** argv);
int WINAPI gsapi_exit(void* instance);

}
