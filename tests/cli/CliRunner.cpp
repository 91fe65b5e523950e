#include "cli/CliRunner.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

Result RunCli(const std::string& environment, const std::vector<std::string>& args,
              const std::string& scratchDir) {
    return RunProgram(KAVIREL_CLI_PATH, environment, args, scratchDir);
}

Result RunProgram(const std::string& program, const std::string& environment,
                  const std::vector<std::string>& args, const std::string& scratchDir) {
    std::string command = environment + " " + Quote(program);
    for (const std::string& a : args)
        command += " " + Quote(a);
    const std::string err = scratchDir + "/stderr.txt";
    command += " 2>" + Quote(err);
    Result r;
    FILE* pipe = ::popen(command.c_str(), "r");
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0)
        r.out.append(buf, n);
    const int status = ::pclose(pipe);
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(err);
    std::stringstream s;
    s << in.rdbuf();
    r.err = s.str();
    return r;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, '\t');)
        fields.push_back(field);
    return fields;
}
