#pragma once

class CCliInvocation;

// The kantel-cli commands that write files: extract, save, import and
// replace open the bank as the editor does and write beside it or into it;
// export reads the bank alone and writes wave files where it is told. Each
// returns the command's exit status.
class CCliWriteCommands {
public:
    static int Extract(const CCliInvocation& run);
    static int Save(const CCliInvocation& run);
    static int Import(const CCliInvocation& run);
    static int Replace(const CCliInvocation& run);
    static int Export(const CCliInvocation& run);
};
