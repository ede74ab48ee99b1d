#pragma once

// Run-time errors across the automation interface, both ways: a failed call becomes the
// program's ErroreRuntime, and a control of our own reports an ErroreRuntime as an automation
// exception. A classic run-time number n travels as the HRESULT 0x800A0000 + n. Windows only.

#include <windows.h>
// Automation, also where the includer asked for a lean <windows.h>.
#include <ole2.h>

#include <string>

#include "support/errore_runtime.h"

namespace borvan {

// The HRESULT that carries a classic run-time number.
HRESULT hresult_da_numero(int32_t numero);

// The run-time error of a failed IDispatch::Invoke. With DISP_E_EXCEPTION, `eccezione` holds
// what the control raised (its strings are freed here). Errors without a number of their own
// get the classic number that fits best, 440 (automation error) at worst.
ErroreRuntime errore_da_chiamata(HRESULT esito, EXCEPINFO& eccezione);

// The run-time error 429 of a control that could not be created; its description names the
// driver and says whether it is missing, unlicensed, or asked for on a thread that is not in a
// single-threaded apartment (RPC_E_WRONG_THREAD).
ErroreRuntime errore_da_creazione(HRESULT esito, const std::string& progid);

// Fills an EXCEPINFO from a run-time error, for Invoke to return DISP_E_EXCEPTION.
void riempi_eccezione(const ErroreRuntime& errore, EXCEPINFO& eccezione);

}  // namespace borvan
