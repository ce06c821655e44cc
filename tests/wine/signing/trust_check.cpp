// Asks Windows whether it trusts files' Authenticode signatures, as a locked-down machine does
// before it loads a DLL or installs a package (WinVerifyTrust, WINTRUST_ACTION_GENERIC_VERIFY_V2,
// no user interface, no revocation check), after adding a certificate authority to the machine's
// Root store. Prints one line per file: its answer in hexadecimal, then the file.
//   trust_check CA.der FILE...
#include <windows.h>

#include <softpub.h>
#include <wincrypt.h>
#include <wintrust.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fputs("usage: trust_check CA.der FILE...\n", stderr);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::vector<unsigned char> der((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const HCERTSTORE root = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
    if (der.empty() || !root ||
        !CertAddEncodedCertificateToStore(root, X509_ASN_ENCODING, der.data(), static_cast<DWORD>(der.size()),
                                          CERT_STORE_ADD_REPLACE_EXISTING, nullptr)) {
        std::fprintf(stderr, "trust_check: the authority could not be added to the Root store (%lu)\n", GetLastError());
        return 2;
    }
    CertCloseStore(root, 0);
    for (int i = 2; i < argc; ++i) {
        WINTRUST_FILE_INFO file{};
        file.cbStruct = sizeof(file);
        file.pcwszFilePath = argv[i];
        WINTRUST_DATA data{};
        data.cbStruct = sizeof(data);
        data.dwUIChoice = WTD_UI_NONE;
        data.fdwRevocationChecks = WTD_REVOKE_NONE;
        data.dwUnionChoice = WTD_CHOICE_FILE;
        data.pFile = &file;
        data.dwStateAction = WTD_STATEACTION_VERIFY;
        GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
        const LONG answer = WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
        data.dwStateAction = WTD_STATEACTION_CLOSE;
        WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
        std::printf("0x%08lX %ls\n", static_cast<unsigned long>(answer), argv[i]);
    }
    return 0;
}
