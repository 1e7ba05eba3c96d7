#include "common/state.h"

QString gvMsg;
QString gvSQL;

namespace {
SettingsFileValues g_ini;
SignedInUser g_user;
SqlDialect g_dialect;
SuiteSettings g_suite;
} // namespace

const SettingsFileValues &Ini()
{
    return g_ini;
}

const SignedInUser &User()
{
    return g_user;
}

const SqlDialect &Dialect()
{
    return g_dialect;
}

const SuiteSettings &Suite()
{
    return g_suite;
}

SettingsFileValues &EditIni()
{
    return g_ini;
}

SignedInUser &EditUser()
{
    return g_user;
}

SqlDialect &EditDialect()
{
    return g_dialect;
}

SuiteSettings &EditSuite()
{
    return g_suite;
}

void ResetStartupState()
{
    g_ini = {};
    g_user = {};
    g_dialect = {};
    g_suite = {};
    gvMsg.clear();
    gvSQL.clear();
}
